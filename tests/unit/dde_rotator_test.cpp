// Rotator commands from the station list and the Go button, and the rotator's reports.
#include "base/color.h"
#include "form_fixture.h"
#include "headless_peers.h"

namespace {

// A station line in its columns: callsign 10 left, frequency 10, heading 5, distance 7 right.
std::string Line(const std::string& call, const std::string& freq, const std::string& heading,
                 const std::string& distance) {
    auto right = [](const std::string& text, std::size_t width) {
        return std::string(width - text.size(), ' ') + text;
    };
    return call + std::string(10 - call.size(), ' ') + right(freq, 10) + right(heading, 5) +
           right(distance, 7);
}

class RotatorTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        rotator = &peers::AddRotator();
        peers::AddHost();
        Start();
        rotator->pokes.clear();
    }
    std::vector<std::string> Sent() const {
        std::vector<std::string> texts;
        for (const auto& [item, text] : rotator->pokes) {
            EXPECT_EQ(item, dde_names::rotator::kItem);
            texts.push_back(text);
        }
        return texts;
    }
    void AddLine(const std::string& line) {
        form->lstStations.AddItem(line);
        headless::Select(form->lstStations, form->lstStations.NewIndex());
    }
    headless::DdeServer* rotator = nullptr;
};

TEST_F(RotatorTest, DoubleClickSendsTheTrimmedHeadingColumn) {
    AddLine(Line("DL1ABC", "14025.0", "123", "812"));
    headless::DoubleClick(form->lstStations);
    AddLine(Line("K1XYZ", "7025.0", "7", "12345"));
    headless::DoubleClick(form->lstStations);
    AddLine("SHORT               12 3");  // characters 21 to 24 only
    headless::DoubleClick(form->lstStations);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"GA:123", "GA:7", "GA:12 3"}));
    // The slot holds the command; the azimuth display is unchanged by it.
    EXPECT_EQ(form->labArsWin.Caption(), "GA:12 3");
    EXPECT_EQ(form->labAz.Caption(), "");
}

TEST_F(RotatorTest, NothingIsSentWithoutLinkSelectionOrHeading) {
    AddLine(Line("NOHEAD", "14025.0", "", "812"));
    headless::DoubleClick(form->lstStations);  // blank heading column
    AddLine("TINY");
    headless::DoubleClick(form->lstStations);  // no heading column at all
    AddLine(Line("DL1ABC", "14025.0", "123", "812"));
    headless::Select(form->lstStations, -1);
    headless::DoubleClick(form->lstStations);  // nothing selected
    headless::PressKey(form->lstStations, 13);
    headless::Select(form->lstStations, 2);
    headless::PressKey(form->lstStations, 'a');  // other keys do nothing
    headless::RemoveDdeServer(*rotator);
    headless::DoubleClick(form->lstStations);  // link down
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

TEST_F(RotatorTest, EnterOnASelectedLineActsAsADoubleClick) {
    AddLine(Line("DL1ABC", "14025.0", "123", "812"));
    std::int16_t key = 13;
    form->lstStations_KeyPress(key);
    EXPECT_EQ(key, 13);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"GA:123"}));
}

TEST_F(RotatorTest, ARefusedOrUnansweredCommandEndsQuietlyAndKeepsTheLink) {
    AddLine(Line("DL1ABC", "14025.0", "123", "812"));
    for (auto reply : {headless::DdeServer::PokeReply::Refuse,
                       headless::DdeServer::PokeReply::Timeout}) {
        rotator->pokeReply = reply;
        headless::DoubleClick(form->lstStations);
        headless::Click(form->cmdGo);
    }
    EXPECT_EQ(Sent().size(), 4u);
    EXPECT_TRUE(base::IsTrue(form->RotatorLinked));
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

TEST_F(RotatorTest, GoSendsTheManualHeadingReducedModulo360) {
    const std::pair<int, const char*> cases[] = {{0, "GA:0"}, {45, "GA:45"}, {359, "GA:359"},
                                                 {360, "GA:0"}};
    for (const auto& [value, command] : cases) {
        rotator->pokes.clear();
        headless::DragThumb(form->vsRot, value);
        headless::ReleaseThumb(form->vsRot);
        form->labSel.SetCaption(std::to_string(value));  // as the scroll bar handlers show it
        headless::Click(form->cmdGo);
        EXPECT_EQ(Sent(), std::vector<std::string>{command}) << value;
    }
}

TEST_F(RotatorTest, ReportsSetTheAzimuthAndRedrawTheCompass) {
    struct Case {
        const char* published;
        const char* shown;  // nullptr: ignored
    };
    const Case cases[] = {{"RA:123", "123"},   {"RA: 45.5", " 45.5"}, {"RA:abc", "abc"},
                          {"RA:1E39", "1E39"}, {"RA:&H1FFFFFFFF", "&H1FFFFFFFF"},
                          {"RA:", nullptr},    {"ra:77", nullptr},    {"GA:200", nullptr},
                          {"", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.published);
        form->labAz.SetCaption("before");
        headless::ClearTrace();
        rotator->Publish(dde_names::rotator::kItem, c.published);
        if (c.shown) {
            EXPECT_EQ(form->labAz.Caption(), c.shown);
            EXPECT_EQ(TraceCount("Picture.pic1.Circle"), 1);
        } else {
            EXPECT_EQ(form->labAz.Caption(), "before");
            EXPECT_EQ(TraceCount("Picture.pic1.Circle"), 0);
        }
    }
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

}  // namespace
