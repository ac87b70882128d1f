#pragma once
// The host and rotator programs in the headless world, under their names, and the trace lines of
// the links the window opens to them.
#include <string>

#include "base/dde_names.h"
#include "platform/headless/testing.h"

namespace peers {

inline platform::headless::DdeServer& AddHost(
    const std::string& service = dde_names::host::kService) {
    return platform::headless::AddDdeServer(service, dde_names::host::kTopic);
}

inline platform::headless::DdeServer& AddRotator() {
    return platform::headless::AddDdeServer(dde_names::rotator::kService,
                                            dde_names::rotator::kTopic);
}

inline const std::string kHostLinkOpened =
    "Label.labDDE.LinkMode 1 " +
    dde_names::LinkTopic(dde_names::host::kService, dde_names::host::kTopic);
inline const std::string kHost32LinkOpened =
    "Label.labDDE.LinkMode 1 " +
    dde_names::LinkTopic(dde_names::host::kService32, dde_names::host::kTopic);
inline const std::string kRotatorLinkOpened =
    "Label.labArsWin.LinkMode 1 " +
    dde_names::LinkTopic(dde_names::rotator::kService, dde_names::rotator::kTopic);

}  // namespace peers
