#pragma once
// Cuts the bytes a telnet DX cluster node sends into clean text lines. The node's bytes are
// hostile: telnet negotiation is answered with refusals and never reaches the text, control bytes
// are removed, byte 0xFF never reaches a line (it separates the fields of the host's spot lines),
// and no line grows without bound.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace cluster {

// One line of text, without its line end.
struct ReceivedLine {
    std::string text;
    // The line was longer than LineReader::kLineLimit: text holds its first kLineLimit bytes and
    // the rest, up to the line end, was dropped.
    bool cut = false;
};

// The reader of one connection: feed it every received byte, in order.
//
// - Telnet: IAC DO x is answered IAC WONT x and IAC WILL x is answered IAC DONT x, once per
//   option and kind (a node asking again is not answered again); DONT and WONT need no answer;
//   other two-byte commands (NOP, GA, ...) are skipped, and so is a subnegotiation (IAC SB ...
//   IAC SE; one that meets a line end or grows longer than kLineLimit bytes is taken as broken
//   and ended there: a node that speaks no telnet passes a user's 0xFF on as it is). IAC IAC, a
//   literal 0xFF, is dropped like every other 0xFF.
// - Line ends: CR LF, LF CR, a lone LF and a lone CR each end one line; CR NUL is a CR. Empty
//   lines are kept.
// - Text: a tab becomes a space; every other byte below 0x20 (BEL included) and DEL are removed;
//   bytes 0x80 to 0xFE are kept as they are.
class LineReader {
  public:
    static constexpr std::size_t kLineLimit = 1024;

    void Feed(std::string_view bytes);

    // The oldest complete line not taken yet.
    std::optional<ReceivedLine> TakeLine();

    // The text received after the last line end: a prompt such as "login: " arrives without one.
    std::string_view Partial() const { return partial_; }
    // Takes the partial text, once it has been answered: the rest of that line, when its line
    // end comes, is then a line of its own (often empty).
    std::string TakePartial();

    // Bytes to send back to the node (the refusals of its telnet requests); empty when none.
    std::string TakeReplies();

  private:
    enum class State { Text, AfterCr, AfterLf, Command, Option, Subnegotiation, SubnegotiationIac };

    void TextByte(unsigned char byte);
    void CommandByte(unsigned char byte);
    void OptionByte(unsigned char byte);
    void EndLine();

    State state_ = State::Text;
    State stateBeforeCommand_ = State::Text;
    unsigned char command_ = 0;
    std::size_t subnegotiationLength_ = 0;
    std::string partial_;
    bool partialCut_ = false;
    std::deque<ReceivedLine> lines_;
    std::string replies_;
    bool refusedDo_[256] = {};
    bool refusedWill_[256] = {};
};

}  // namespace cluster
