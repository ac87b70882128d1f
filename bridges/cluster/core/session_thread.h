#pragma once
// Runs a NodeSession on a thread of its own, so that waiting on the node never holds up the
// thread that answers DDE.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "bridges/cluster/core/node_session.h"

namespace cluster {

class SessionThread {
  public:
    explicit SessionThread(NodeSession& session);
    ~SessionThread();  // leaves the node, waiting at most for the node call in progress
    SessionThread(const SessionThread&) = delete;
    SessionThread& operator=(const SessionThread&) = delete;

  private:
    void Run();

    NodeSession& session_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace cluster
