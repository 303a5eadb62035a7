// Appends lines to the stand-in's record file (named by LUMETTA_DWM_LOG).
#pragma once

#include <string>

#include "record.h"

namespace dwmrig {

// True when a record file is named; callers skip building lines otherwise.
bool RecordWanted();

// Begins a line with this call's process and thread.
Record BeginCallRecord(const char* fn);

// Appends one complete line. Writers in several processes never interleave: each line is one
// WriteFile on a handle opened for appending, under a named mutex.
void WriteRecordLine(const std::string& line);

} // namespace dwmrig
