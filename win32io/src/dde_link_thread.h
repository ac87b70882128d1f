#pragma once
// The DDE thread: one thread of the process on which every DdeLink's conversation lives. It
// connects, pokes, watches and ends conversations as the links' jobs ask; the links' owners only
// hand it jobs and wait for their outcome within their limit, so that a peer that does not answer,
// or a DDE broadcast that a hung program holds, never holds a window for longer.
// docs/dde-links.md tells the whole story.
#include <windows.h>

#include <memory>

#include "win32io/src/dde_link_job.h"

namespace win32io {

// Queues the job for the DDE thread, which is started at the first job. Throws base::Failure when
// the thread cannot be started.
void SendDdeJob(std::shared_ptr<DdeJob> job);

// Waits until the DDE thread has done every job sent so far and ended every conversation it
// parked, or until the deadline (GetTickCount64) passes; whether it is done. Handles messages sent
// to this thread meanwhile, and nothing else.
bool WaitForDdeThread(ULONGLONG deadline);

}  // namespace win32io
