// The headless profile engine against the behaviour of the Windows profile functions as measured
// under Wine: each case is a file before, one read or write, its result and the file after.
#include "platform/headless/ini_engine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::headless::IniRead;
using platform::headless::IniWrite;
using namespace std::string_literals;

class IniEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("ini_engine_" + std::string(info->name()) + "_" +
                                               std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, ignored);
        fs::remove_all(folder_, ignored);
    }

    std::string PathOf(const std::string& name = "vantro32.INI") const {
        return (folder_ / name).string();
    }
    void Put(const std::string& bytes, const std::string& name = "vantro32.INI") const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }
    std::optional<std::string> Get(const std::string& name = "vantro32.INI") const {
        std::ifstream in(PathOf(name), std::ios::binary);
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The read as the program makes it: a 500-character buffer unless said otherwise.
    std::string Read(const std::string& section, const std::string& key, const std::string& def,
                     std::size_t size = 500) const {
        std::vector<char> buffer(size + 1, '#');
        const std::size_t count = IniRead(section, key, def, buffer.data(), size, PathOf());
        EXPECT_EQ(buffer[count], '\0');
        return std::string(buffer.data(), count);
    }

    fs::path folder_;
};

struct ReadCase {
    const char* what;
    std::optional<std::string> file;  // none: no file at all
    std::string section, key, def;
    std::size_t size;
    std::string expected;
};

TEST_F(IniEngineTest, ReadsLikeTheProfileApi) {
    const std::string long600(600, 'x');
    const std::vector<ReadCase> cases = {
        {"600 characters into 500", "[SETUP]\r\nK=" + long600 + "\r\n", "SETUP", "K", "", 500,
         std::string(499, 'x')},
        {"default cut to size - 1", std::nullopt, "SETUP", "K", "<DEF>", 3, "<D"},
        {"missing file", std::nullopt, "SETUP", "K", "TRUE", 500, "TRUE"},
        {"missing section", "[Other]\nK=1\n", "SETUP", "K", "D", 500, "D"},
        {"missing key", "[SETUP]\nJ=1\n", "SETUP", "K", "D", 500, "D"},
        {"blanks around key and value", "[S]\n \t Key1 \t=  v  x \t\n", "S", "key1", "D", 500,
         "v  x"},
        {"double quotes keep inner blanks", "[S]\nK=\"  inner  \"\n", "S", "K", "D", 500,
         "  inner  "},
        {"single quotes", "[S]\nK='a b'\n", "S", "K", "D", 500, "a b"},
        {"unbalanced quote stays", "[S]\nK=\"a\n", "S", "K", "D", 500, "\"a"},
        {"mixed quotes stay", "[S]\nK='a\"\n", "S", "K", "D", 500, "'a\""},
        {"lone quote stays", "[S]\nK=\"\n", "S", "K", "D", 500, "\""},
        {"only the outer pair goes", "[S]\nK=\"ab\"cd\"\n", "S", "K", "D", 500, "ab\"cd"},
        {"quoted value cut", "[S]\nK=\"abcdef\"\n", "S", "K", "D", 4, "abc"},
        {"quoted value just filling loses one", "[S]\nK=\"abcdef\"\n", "S", "K", "D", 7, "abcde"},
        {"quoted value with room for its quote", "[S]\nK=\"abcdef\"\n", "S", "K", "D", 8, "abcdef"},
        {"quoted default just filling loses one", "[S]\n", "S", "K", "'q'", 2, ""},
        {"no inline comment", "[S]\nK=v ; c\n", "S", "K", "D", 500, "v ; c"},
        {"comment line is not the key", "[S]\n;K=v\n#K=w\n", "S", "K", "D", 500, "D"},
        {"empty value is not the default", "[S]\nK=\n", "S", "K", "D", 500, ""},
        {"line without = gives the default", "[S]\nK\n", "S", "K", "D", 500, "D"},
        {"names without case", "[setup]\nshow_rotator=false\n", "SETUP", "SHOW_ROTATOR", "TRUE",
         500, "false"},
        {"bytes above 0x7F keep their case", "[S]\n\xC9=1\n", "S", "\xE9", "D", 500, "D"},
        {"blanks in the header", "[ Sec Two ]\nK=2\n", "Sec Two", "K", "D", 500, "2"},
        {"blanks in the wanted names", "[Sec]\nK=2\n", " Sec ", " K\t", "D", 500, "2"},
        {"text after ] ignored", "[S] junk\nK=1\n", "S", "K", "D", 500, "1"},
        {"last ] closes the header", "[a]b]\nK=1\n", "a]b", "K", "D", 500, "1"},
        {"header without ] belongs above", "[A]\nK=1\n[B\nJ=2\n", "A", "J", "D", 500, "2"},
        {"duplicate key: first wins", "[S]\nK=1\nk=2\n", "S", "K", "D", 500, "1"},
        {"repeated section not read", "[A]\nK=1\n[B]\n[a]\nJ=2\n", "A", "J", "D", 500, "D"},
        {"key before any section", "K=1\n[S]\nJ=2\n", "", "K", "D", 500, "1"},
        {"lines before a section are not in it", "K=1\n[S]\n", "S", "K", "D", 500, "D"},
        {"CR only", "[S]\rK=1\rJ=2\r", "S", "J", "D", 500, "2"},
        {"CR LF, tabs and Ctrl-Z as blanks", "[S]\r\n\x1AK\x1A=\t1\x1A\r\n\x1A", "S", "K", "D", 500,
         "1"},
        {"no-break space is not a blank",
         "[S]\nK=\xA0"
         "1\n",
         "S", "K", "D", 500,
         "\xA0"
         "1"},
        {"NUL ends a value", "[S]\nK=ab\0cd\n"s, "S", "K", "D", 500, "ab"},
        {"NUL ends a key name", "[S]\nK\0x=1\n"s, "S", "K", "D", 500, "1"},
        {"NUL ends a section name", "[S\0x]\nK=1\n"s, "S", "K", "D", 500, "1"},
        {"UTF-8 mark skipped", "\xEF\xBB\xBF[S]\nK=1\n", "S", "K", "D", 500, "1"},
        {"UTF-16 not understood",
         "\xFF\xFE[\0S\0]\0\n\0K\0=\0"
         "1\0"s,
         "S", "K", "D", 500, "D"},
        {"default loses trailing spaces", std::nullopt, "S", "K", "ab  ", 500, "ab"},
        {"default keeps its first character", std::nullopt, "S", "K", "  ", 500, " "},
        {"default loses its quotes", "[S]\n", "S", "K", "\"q\"", 500, "q"},
        {"size 1", "[S]\nK=abc\n", "S", "K", "D", 1, ""},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(PathOf());
        if (c.file) Put(*c.file);
        EXPECT_EQ(Read(c.section, c.key, c.def, c.size), c.expected);
        EXPECT_EQ(Get(), c.file);
    }
}

TEST_F(IniEngineTest, SizeZeroTouchesNothing) {
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(IniRead("S", "K", "D", buffer, 0, PathOf()), 0u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(IniRead("S", "K", "D", nullptr, 10, PathOf()), 0u);
}

TEST_F(IniEngineTest, AFolderReadsAsMissing) {
    fs::create_directory(PathOf());
    EXPECT_EQ(Read("S", "K", "D"), "D");
    EXPECT_FALSE(IniWrite("S", "K", "1", PathOf()));
}

struct WriteCase {
    const char* what;
    std::optional<std::string> file;
    std::string section, key, value;
    std::string after;
};

TEST_F(IniEngineTest, WritesLikeTheProfileApi) {
    const std::vector<WriteCase> cases = {
        {"new file", std::nullopt, "Main", "Key1", "Value1", "[Main]\r\nKey1=Value1\r\n"},
        {"empty file", "", "Main", "Key1", "Value1", "[Main]\r\nKey1=Value1\r\n"},
        {"new key at the end of its section", "[A]\r\nx=1\r\n;note\r\n[B]\r\ny=2\r\n", "a", "k",
         "v", "[A]\r\nx=1\r\n;note\r\nk=v\r\n[B]\r\ny=2\r\n"},
        {"new section at the end, no blank line", "[A]\r\nx=1\r\n\r\n", "B", "k", "v",
         "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"rewrite keeps and normalises",
         "; top\n# hash = 1\n[Setup]\n  Left = 10 \n\nUnknown=a ; b\n\n[Other]\nz = 9\n", "SETUP",
         "LEFT", "20",
         "; top\r\n# hash=1\r\n[Setup]\r\nLeft=20\r\nUnknown=a ; b\r\n[Other]\r\nz=9\r\n"},
        {"same value: untouched", "[S]\nK = a \n\n", "S", "k", "a", "[S]\nK = a \n\n"},
        {"same value differs in case", "[S]\nK=true\n", "S", "K", "TRUE", "[S]\r\nK=TRUE\r\n"},
        {"leading blanks dropped, trailing kept", "[S]\nK=a\n", "S", "K", " \t v  ",
         "[S]\r\nK=v  \r\n"},
        {"quotes written verbatim", "[S]\nK=a\n", "S", "K", "\"q\"", "[S]\r\nK=\"q\"\r\n"},
        {"empty value", "[S]\nK=a\n", "S", "K", "", "[S]\r\nK=\r\n"},
        {"first duplicate replaced", "[S]\nk=1\nK=2\n", "S", "K", "3", "[S]\r\nk=3\r\nK=2\r\n"},
        {"first of a repeated section", "[A]\nk=1\n[B]\n[a]\nj=2\n", "A", "j", "3",
         "[A]\r\nk=1\r\nj=3\r\n[B]\r\n[a]\r\nj=2\r\n"},
        {"line without = gets one", "[S]\nK\nJ=1\n", "S", "K", "v", "[S]\r\nK=v\r\nJ=1\r\n"},
        {"new names keep trailing blanks", "[X]\n", " Main ", " Key1 ", "b",
         "[X]\r\n[Main ]\r\nKey1 =b\r\n"},
        {"wanted names match trimmed", "[Main]\nKey1=a\n", " Main ", " Key1 ", "b",
         "[Main]\r\nKey1=b\r\n"},
        {"nameless section is the top", "[A]\nx=1\n", "", "k", "v", "k=v\r\n[A]\r\nx=1\r\n"},
        {"header without ] kept", "[Main\nKey1=a\n", "Main", "Key1", "b",
         "[Main\r\nKey1=a\r\n[Main]\r\nKey1=b\r\n"},
        {"header normalised", "[ Sec Two ]  junk\nk=1\n", "sec two", "k", "2",
         "[Sec Two]\r\nk=2\r\n"},
        {"CR only and blank lines", "[A]\rk=1\r\r\n\nj=2\r", "A", "j", "3",
         "[A]\r\nk=1\r\nj=3\r\n"},
        {"UTF-8 mark kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        {"bytes after a NUL kept", "[S]\nk\0x=1\nj=a\0b\n"s, "S", "k", "2",
         "[S]\r\nk\0x=2\r\nj=a\0b\r\n"s},
        {"binary bytes kept", "[S]\n\xFF\x01=\x80\n", "S", "k", "\xFE",
         "[S]\r\n\xFF\x01=\x80\r\nk=\xFE\r\n"},
        {"NUL ends the written value", "[S]\n", "S", "k", "a\0b"s, "[S]\r\nk=a\r\n"},
        {"empty names kept", "[A]\n=a\n=b\n", "A", "k", "1", "[A]\r\n=a\r\n=b\r\nk=1\r\n"},
        {"empty header kept", "[A]\n[]\nk=1\n", "A", "j", "2", "[A]\r\nj=2\r\n[]\r\nk=1\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(PathOf());
        if (c.file) Put(*c.file);
        EXPECT_TRUE(IniWrite(c.section, c.key, c.value, PathOf()));
        EXPECT_EQ(Get(), c.after);
    }
}

TEST_F(IniEngineTest, TrailingBlanksAreLostAtTheNextRewrite) {
    ASSERT_TRUE(IniWrite("S", "K", "a  ", PathOf()));
    EXPECT_EQ(Read("S", "K", "D"), "a");
    ASSERT_TRUE(IniWrite("S", "J", "b", PathOf()));
    EXPECT_EQ(Get(), "[S]\r\nK=a\r\nJ=b\r\n");
}

// The program's own writes over a file a user has annotated: whatever it does not own survives.
TEST_F(IniEngineTest, UnknownKeysAndCommentsSurviveEveryWrite) {
    Put("; my station\n[SETUP]\n# moved by hand\nLEFT = 120.6\nCOLOR=blue\n[Log]\nlast=\"x y\"\n");
    const std::vector<std::pair<std::string, std::string>> writes = {
        {"LEFT", "120"},
        {"TOP", "300"},
        {"SHOW_ROTATOR", "TRUE"},
        {"MINIMIZED", "FALSE"},
        {"LEFT", "-40"},
        {"ALWAYS_ON_TOP", "TRUE"},
        {"ALWAYS_ON_TOP", "FALSE"},
    };
    for (const auto& [key, value] : writes) {
        SCOPED_TRACE(key + "=" + value);
        ASSERT_TRUE(IniWrite("SETUP", key, value, PathOf()));
        EXPECT_EQ(Read("SETUP", key, "D"), value);
        EXPECT_EQ(Read("SETUP", "COLOR", "D"), "blue");
        EXPECT_EQ(Read("Log", "last", "D"), "x y");
        const std::string after = *Get();
        EXPECT_NE(after.find("; my station\r\n"), std::string::npos);
        EXPECT_NE(after.find("# moved by hand\r\n"), std::string::npos);
    }
    EXPECT_EQ(Get(),
              "; my station\r\n[SETUP]\r\n# moved by hand\r\nLEFT=-40\r\nCOLOR=blue\r\nTOP=300\r\n"
              "SHOW_ROTATOR=TRUE\r\nMINIMIZED=FALSE\r\nALWAYS_ON_TOP=FALSE\r\n[Log]\r\n"
              "last=\"x y\"\r\n");
}

TEST_F(IniEngineTest, AMissingFolderFailsWithoutAFile) {
    const std::string path = (folder_ / "absent" / "vantro32.INI").string();
    EXPECT_FALSE(IniWrite("S", "K", "1", path));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(IniEngineTest, AReadOnlyFileFailsUnchanged) {
    if (getuid() == 0) GTEST_SKIP() << "as root a read-only file is writable";
    Put("[S]\nK=1\n");
    fs::permissions(PathOf(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(IniWrite("S", "K", "2", PathOf()));
    EXPECT_FALSE(IniWrite("S", "K", "1", PathOf()));  // even the value it has
    EXPECT_EQ(Get(), "[S]\nK=1\n");
    EXPECT_EQ(Read("S", "K", "D"), "1");
}

// In place, as Windows does it: a read-only folder does not stop the write, and every link to
// the file sees the new text.
TEST_F(IniEngineTest, RewritesTheFileInPlace) {
    Put("[S]\nK=1\n\n\n\n\n\n; a long tail that the rewrite makes shorter\n\n\n\n\n");
    fs::create_hard_link(PathOf(), PathOf("link.INI"));
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    ASSERT_TRUE(IniWrite("S", "K", "2", PathOf()));
    fs::permissions(folder_, fs::perms::owner_all);
    const std::string expected = "[S]\r\nK=2\r\n; a long tail that the rewrite makes shorter\r\n";
    EXPECT_EQ(Get(), expected);
    EXPECT_EQ(Get("link.INI"), expected);
}

TEST_F(IniEngineTest, HandlesTenMegabytes) {
    std::string big = "[A]\n";
    while (big.size() < 10'000'000) big += "key" + std::to_string(big.size()) + " = value\n";
    big += "[SETUP]\nHUGE=" + std::string(2'000'000, 'h') + "\n";
    Put(big);
    EXPECT_EQ(Read("SETUP", "HUGE", "D"), std::string(499, 'h'));
    ASSERT_TRUE(IniWrite("SETUP", "LEFT", "1", PathOf()));
    ASSERT_TRUE(IniWrite("A", "LEFT", "2", PathOf()));
    EXPECT_EQ(Read("SETUP", "LEFT", "D"), "1");
    EXPECT_EQ(Read("A", "LEFT", "D"), "2");
    EXPECT_EQ(Read("A", "key4", "D"), "value");
}

}  // namespace
