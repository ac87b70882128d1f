// The program's entry: creating the window runs its load handling, which is the whole start-up.
#include "app/frmRCI.h"
#include "platform/entry.h"
#include "platform/system.h"

int platform::AppMain() {
    frmRCI form;
    form.Form_Load();
    return platform::RunMessageLoop();
}
