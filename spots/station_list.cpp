// Placeholder until the station list lands.
#include "app/frmRCI.h"

void frmRCI::labDDE_Change() {}
void frmRCI::Timer1_Timer() {}
void frmRCI::AddSpot(const std::string&) {}
void frmRCI::SplitFields(std::string, const std::string&, std::vector<std::string>& Fields) {
    Fields.clear();
}
