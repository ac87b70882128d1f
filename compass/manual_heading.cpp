// Placeholder until the manual heading lands.
#include "app/frmRCI.h"

void frmRCI::vsRot_Change() {}
void frmRCI::vsRot_Scroll() {}
