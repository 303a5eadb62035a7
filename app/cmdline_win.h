// The command line of this process and the preview request a messenger passes on.
#pragma once

#include <windows.h>

namespace lumetta {

// Reads, splits and parses the process's command line into App; on a bad one shows why and sets
// CMD_QUIT.
void ParseCommandLine();

// Sends the -preview request to the running main window; true when it opened the preview.
bool SendPreviewRequest(HWND mainWindow);

} // namespace lumetta
