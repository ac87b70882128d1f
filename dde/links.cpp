// Placeholder until the links land.
#include "app/frmRCI.h"

void frmRCI::ConnectHost(base::Bool16) {}
void frmRCI::ConnectRotator(base::Bool16) {}
void frmRCI::HostLinkLost() {}
void frmRCI::RotatorLinkLost() {}
void frmRCI::labDDE_LinkClose() {}
void frmRCI::labDDE_LinkError(int) {}
void frmRCI::labArsWin_LinkClose() {}
void frmRCI::labArsWin_LinkError(int) {}
void frmRCI::lstStations_DblClick() {}
void frmRCI::lstStations_KeyPress(std::int16_t&) {}
void frmRCI::cmdGo_Click() {}
void frmRCI::labArsWin_Change() {}
