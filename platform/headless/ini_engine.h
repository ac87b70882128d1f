#pragma once
// The headless backend's profile (INI) file engine: reads and writes real files on disk the way
// GetPrivateProfileStringA and WritePrivateProfileStringA do under Wine 8, byte for byte, for every
// file the program can meet. Portable C++ only (std::filesystem, std::fstream), so the same engine
// also builds for Windows and can be compared there against the real functions.
//
// How a file is understood
// - Lines end at CR or LF (CR LF, LF only and CR only all work). Each line loses its leading and
//   trailing blanks (space, tab, CR, LF, VT, FF and Ctrl-Z); a line left empty is ignored.
// - "[name]" is a section header: the name is what stands between the '[' and the line's LAST ']',
//   without blanks, and anything after that ']' is ignored. A line starting with '[' that has no
//   ']' is not a header but an ordinary line of the section above it.
// - Every other line is an entry: the name is the text before its first '=' and the value the text
//   after it, both without blanks around them. No inline comments: "v ; c" is the value "v ; c".
//   A comment line ";k=v" or "#k=v" is thus an entry named ";k" or "#k" and never matches "k".
//   A line without '=' is an entry with a name and no value; reading it gives the default.
// - Lines before the first header form a nameless section, found by the section name "".
// - Section and key names are trimmed and then compared without regard to ASCII case (bytes from
//   0x80 up compare exactly). Only the first section of a name counts: a later repeat of it is
//   never read nor written. Within it the first entry of a name wins.
// - A NUL byte ends a name or a value where it stands, as the C functions see it, but the bytes
//   after it stay in the file. Other bytes are ordinary characters; a line may be of any length.
// - A UTF-8 byte-order mark is skipped and kept; values are returned as the file's bytes. A file
//   starting with a UTF-16 byte-order mark is not understood: it reads as a missing file and is
//   never written.
//
// Reading
// - The default loses its trailing spaces (but not its first character), like Windows does.
// - A value (or the default) enclosed in a matching pair of double or single quotes loses them;
//   the blanks inside stay. A lone or unbalanced quote stays.
// - The result is cut to size - 1 characters and NUL-terminated. A quoted text of exactly
//   size - 1 characters between its quotes loses its last one too, a quirk of Windows.
//
// Writing
// - The whole file is written again in a normal form: CR LF after every line, blank lines
//   dropped, entries as "name=value", headers as "[name]". Comments, unknown entries and sections,
//   the names' case and the order of lines are kept.
// - Writing the value a key already has (compared exactly, with case) leaves the file untouched;
//   it still fails on a file that cannot be written.
// - The value loses its leading blanks; trailing blanks are written. Quotes are written verbatim.
// - A new key goes at the end of its section; a new section, with the key, at the end of the
//   file. Names of new sections and keys lose their leading blanks only, as Windows does.
// - A file that exists but cannot be read or opened for writing (read-only file, folder, missing
//   folder) makes the write fail and stays unchanged. The file is rewritten in place, never through
//   a renamed copy: a writable file in a read-only folder is written, and links and permissions
//   survive. Only an error during the writing itself (disk full) could leave it damaged, and only
//   when the file grows.
//
// Where Windows under Wine differs (files the program never writes): on a rewrite Wine drops a
// header "[]", the bytes after a NUL on a line, and an entry with an empty name ("=v") right
// after another such entry; this engine keeps them, so that a write never loses a line it does
// not own. Wine also understands UTF-16 files, and converts the values of a file with a UTF-8
// byte-order mark to the ANSI code page.
#include <cstddef>
#include <string>

namespace platform::headless {

// Like GetPrivateProfileStringA with a section and a key: copies the value, or the default when
// the file, section, key or the key's '=' is missing, into buffer, and returns the count of
// characters copied (at most size - 1, not counting the terminating NUL). Size 0 copies nothing.
std::size_t IniRead(const std::string& section, const std::string& key,
                    const std::string& defaultValue, char* buffer, std::size_t size,
                    const std::string& path);

// Like WritePrivateProfileStringA with a section, a key and a value: creates the file, the section
// or the key when missing and replaces the key's value otherwise. Returns false, with the file
// unchanged, when the file cannot be read or written.
bool IniWrite(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path);

}  // namespace platform::headless
