#pragma once
// One copy of a program at a time in the user's session: the first copy holds a named mutex for
// its life; a later copy finds the first one's window and asks it to come to the front.
#include <windows.h>

#include <string>

#include "win32io/src/owned_handles.h"

namespace win32io {

class SingleInstance {
  public:
    // `name` names the program ("clusterbridge"); the mutex is the session's, so that two users
    // of one machine each run their own copy.
    explicit SingleInstance(const std::string& name);
    bool First() const { return first_; }

  private:
    KernelHandle mutex_;
    bool first_ = false;
};

// The message the running copy's window gets when another copy starts: come to the front.
UINT ComeForwardMessage();

// Finds the running copy's window by its class and asks it to come forward, waiting a little for
// a copy that is still starting; false when no such window appears.
bool BringRunningCopyForward(const std::string& windowClass);

}  // namespace win32io
