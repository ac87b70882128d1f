#pragma once
// Ending a conversation whose server is hung blocks for about ten seconds in DdeDisconnect or
// DdeUninitialize (the partner never answers the terminate). A link that the program closes does
// not wait for that: its conversation is parked here and ended once the server answers again or
// is gone. Used on the thread that owns the conversations.
#include <windows.h>

#include <ddeml.h>  // after windows.h, which it needs

#include <memory>

namespace win32io {

// Whether the conversation's partner is hung: its window exists but does not answer a message
// within a short probe.
bool PartnerHung(HCONV conv);

// Keeps `owner`, which holds the conversation and its instance, until the partner is no longer
// hung, then releases it. What is still parked when the program ends is never released: the
// process ends the conversations itself, without waiting.
void ParkConversation(std::shared_ptr<void> owner, HCONV conv);

}  // namespace win32io
