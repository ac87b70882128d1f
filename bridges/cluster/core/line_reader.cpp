#include "bridges/cluster/core/line_reader.h"

#include <utility>

namespace cluster {

namespace {
constexpr unsigned char kIac = 255;
constexpr unsigned char kDont = 254;
constexpr unsigned char kDo = 253;
constexpr unsigned char kWont = 252;
constexpr unsigned char kWill = 251;
constexpr unsigned char kSb = 250;
constexpr unsigned char kSe = 240;
constexpr unsigned char kCr = '\r';
constexpr unsigned char kLf = '\n';
}  // namespace

void LineReader::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (state_) {
            case State::Command:
                CommandByte(byte);
                break;
            case State::Option:
                OptionByte(byte);
                break;
            case State::Subnegotiation:
                // What a node negotiates holds no line end: one met here is a user's text on a
                // node that speaks no telnet (a byte 0xFF, then 0xFA), and it still ends its line.
                if (byte == kCr || byte == kLf) {
                    state_ = State::Text;
                    TextByte(byte);
                    break;
                }
                if (byte == kIac) state_ = State::SubnegotiationIac;
                // A node that never ends its subnegotiation gets its text back after a while.
                if (++subnegotiationLength_ > kLineLimit) state_ = State::Text;
                break;
            case State::SubnegotiationIac:
                state_ = byte == kSe ? State::Text : State::Subnegotiation;
                break;
            default:
                if (byte == kIac) {
                    stateBeforeCommand_ = state_;
                    state_ = State::Command;
                } else {
                    TextByte(byte);
                }
                break;
        }
    }
}

void LineReader::TextByte(unsigned char byte) {
    // The second byte of a two-byte line end (CR LF or LF CR), or the NUL of CR NUL.
    if ((state_ == State::AfterCr && (byte == kLf || byte == 0)) ||
        (state_ == State::AfterLf && byte == kCr)) {
        state_ = State::Text;
        return;
    }
    state_ = State::Text;
    if (byte == kCr || byte == kLf) {
        EndLine();
        state_ = byte == kCr ? State::AfterCr : State::AfterLf;
        return;
    }
    if (byte == '\t') byte = ' ';
    if (byte < 0x20 || byte == 0x7F) return;
    if (partial_.size() < kLineLimit) {
        partial_.push_back(static_cast<char>(byte));
    } else {
        partialCut_ = true;
    }
}

void LineReader::CommandByte(unsigned char byte) {
    switch (byte) {
        case kDo:
        case kDont:
        case kWill:
        case kWont:
            command_ = byte;
            state_ = State::Option;
            break;
        case kSb:
            subnegotiationLength_ = 0;
            state_ = State::Subnegotiation;
            break;
        default:
            // IAC IAC (a data 0xFF) and the commands without an option carry no text.
            state_ = stateBeforeCommand_;
            break;
    }
}

void LineReader::OptionByte(unsigned char option) {
    bool* answered = command_ == kDo     ? &refusedDo_[option]
                     : command_ == kWill ? &refusedWill_[option]
                                         : nullptr;
    if (answered && !*answered) {
        *answered = true;
        const char refusal = static_cast<char>(command_ == kDo ? kWont : kDont);
        replies_ += {static_cast<char>(kIac), refusal, static_cast<char>(option)};
    }
    state_ = stateBeforeCommand_;
}

void LineReader::EndLine() {
    lines_.push_back(ReceivedLine{std::move(partial_), partialCut_});
    partial_.clear();
    partialCut_ = false;
}

std::optional<ReceivedLine> LineReader::TakeLine() {
    if (lines_.empty()) return std::nullopt;
    ReceivedLine line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

std::string LineReader::TakePartial() {
    std::string text = std::move(partial_);
    partial_.clear();
    partialCut_ = false;
    return text;
}

std::string LineReader::TakeReplies() {
    return std::exchange(replies_, std::string());
}

}  // namespace cluster
