#pragma once
// Owning wrappers of DDEML handles, shared by the client links and the substitute servers.
//
// DDEML calls one callback per instance but does not say which instance a call is for, so each
// DdeInstance takes a slot of its own in a small table of callback entry points and routes the
// calls of its instance to its own handler.
#include <windows.h>

#include <ddeml.h>  // after windows.h, which it needs

#include <functional>
#include <optional>
#include <string>

namespace win32io {

// One DDEML callback, as DDEML passes it.
struct DdeCall {
    UINT type;
    UINT format;
    HCONV conv;
    HSZ hsz1;
    HSZ hsz2;
    HDDEDATA data;
    ULONG_PTR data1;
    ULONG_PTR data2;
};

using DdeHandler = std::function<HDDEDATA(const DdeCall&)>;

// A DDEML instance of the calling thread. Uninitialising it ends its conversations.
class DdeInstance {
  public:
    // Throws base::Failure when DDEML cannot start an instance.
    DdeInstance(DdeHandler handler, DWORD flags);
    ~DdeInstance();
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;

    DWORD Id() const { return id_; }
    // From now on every call of this instance is answered with nothing. Handlers that must not
    // run any more (their owner is going away) are detached before the instance is ended.
    void Detach() { handler_ = nullptr; }
    // The handler's answer; nothing if it throws, since a failure must not unwind through DDEML.
    HDDEDATA Dispatch(const DdeCall& call) noexcept;

  private:
    DdeHandler handler_;
    std::size_t slot_;
    DWORD id_ = 0;
};

// A string handle made in an instance, in the ANSI code page.
class DdeString {
  public:
    DdeString(const DdeInstance& instance, const std::string& text);  // throws base::Failure
    ~DdeString();
    DdeString(const DdeString&) = delete;
    DdeString& operator=(const DdeString&) = delete;

    HSZ Get() const { return hsz_; }

  private:
    DWORD instance_;
    HSZ hsz_;
};

// A conversation handle; ending it is DdeDisconnect.
class DdeConversation {
  public:
    explicit DdeConversation(HCONV conv) : conv_(conv) {}
    ~DdeConversation();
    DdeConversation(const DdeConversation&) = delete;
    DdeConversation& operator=(const DdeConversation&) = delete;

    HCONV Get() const { return conv_; }

  private:
    HCONV conv_;
};

// What DDEML knows of a conversation (QID_SYNC); nothing when the handle is not, or no longer, a
// conversation.
std::optional<CONVINFO> ConversationInfo(HCONV conv);

// The text of a string handle (DdeQueryStringA); empty for a null handle.
std::string DdeStringText(DWORD instance, HSZ hsz);

// The text of CF_TEXT data: it ends at the first NUL or at the data's size, whichever comes first.
std::string DdeDataText(HDDEDATA data);

// The description of a failed transaction, as the program shows it, for a DDEML error code.
std::string DdeErrorText(UINT error);

}  // namespace win32io
