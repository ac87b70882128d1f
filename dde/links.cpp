// The two DDE links: opening them, noticing their loss, and showing their state.
#include <exception>

#include "app/frmRCI.h"
#include "base/color.h"
#include "base/dde_names.h"

using dde_names::LinkTopic;
namespace host = dde_names::host;
namespace rotator = dde_names::rotator;

namespace {
const char* const kHostNotFound = "Couldn't find Wendra or Wendra32. Will keep trying.";
const char* const kRotatorNotFound = "Couldn't find ARSWIN. Will keep trying.";
}  // namespace

void frmRCI::ConnectHost(base::Bool16 ReportFailure) {
    try {
        try {
            labDDE.SetLinkTopic(LinkTopic(host::kService, host::kTopic));
            labDDE.SetLinkItem(host::kItem);
            labDDE.SetLinkMode(1);
        } catch (const std::exception&) {
            // The host also answers under its 32-bit name; the item stays as set.
            labDDE.SetLinkTopic(LinkTopic(host::kService32, host::kTopic));
            labDDE.SetLinkMode(1);
        }
        labLinked.SetBackColor(base::kLightGreen);
        HostLinked = base::kTrue;
    } catch (const std::exception&) {
        if (base::IsTrue(ReportFailure)) ShowMessage(*this, kHostNotFound, 48, "Vantro32");
    }
}

void frmRCI::ConnectRotator(base::Bool16 ReportFailure) {
    try {
        labArsWin.SetLinkTopic(LinkTopic(rotator::kService, rotator::kTopic));
        labArsWin.SetLinkItem(rotator::kItem);
        labArsWin.SetLinkMode(1);
        labArsLinked.SetBackColor(base::kLightGreen);
        RotatorLinked = base::kTrue;
        cmdGo.SetVisible(true);
    } catch (const std::exception&) {
        if (base::IsTrue(ReportFailure)) ShowMessage(*this, kRotatorNotFound, 48, "Vantro32");
        return;
    }
    // Ask for the azimuth. The rotator program was found and its link is up: a refused or
    // unanswered query must not be reported as "couldn't find" it.
    try {
        SendRotatorCommand("RA:");
    } catch (const std::exception&) {
    }
}

void frmRCI::HostLinkLost() {
    if (base::IsTrue(Unloading)) return;
    labDDE.SetLinkMode(0);
    HostLinked = base::kFalse;
    labLinked.SetBackColor(base::kLightRed);
}

void frmRCI::RotatorLinkLost() {
    if (base::IsTrue(Unloading)) return;
    labArsWin.SetLinkMode(0);
    RotatorLinked = base::kFalse;
    cmdGo.SetVisible(false);
    labArsLinked.SetBackColor(base::kLightRed);
}

// A link error is handled like the loss of the link: the retry brings it back.
void frmRCI::labDDE_LinkClose() { HostLinkLost(); }
void frmRCI::labDDE_LinkError(int /*LinkErr*/) { HostLinkLost(); }
void frmRCI::labArsWin_LinkClose() { RotatorLinkLost(); }
void frmRCI::labArsWin_LinkError(int /*LinkErr*/) { RotatorLinkLost(); }
