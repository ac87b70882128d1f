#pragma once
// The program's own entry, defined in app/; the backend's process entry calls it.
namespace platform {
int AppMain();
}
