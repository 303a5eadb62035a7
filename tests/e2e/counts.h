// What another process holds: GDI objects, windows and memory, counted from outside as Wine
// allows (it has no GetGuiResources and reports no private bytes).
#pragma once

#include "rig.h"

namespace e2e {

struct GuiCounts {
    DWORD gdi = 0;
    DWORD user = 0; // the process's windows, the USER objects a program can leak by the thousand
    SIZE_T privateBytes = 0; // the working set: Wine reports no private bytes
};
GuiCounts ProcessCounts(DWORD pid);

} // namespace e2e
