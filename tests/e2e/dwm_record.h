// The stand-in compositor's record (tools/dwm): one line of JSON for every call, in order; its
// fields are read with the stand-in's own reader (tools/dwm/record.h).
#pragma once

#include "rig.h"

#include "tools/dwm/record.h"

namespace e2e {

std::vector<std::string> DwmRecord();
// Calls of fn made by process pid (any when 0) whose field key is value (any when key is empty).
std::vector<std::string> DwmCalls(std::string_view fn, DWORD pid = 0, std::string_view key = {},
                                  std::string_view value = {});
// The same once there is at least one, or after two seconds (a window may show before its calls
// are on record).
std::vector<std::string> WaitDwmCalls(std::string_view fn, DWORD pid, std::string_view key,
                                      std::string_view value);
// Where the first such call is in the record (npos when there is none).
size_t RecordIndexOf(std::string_view fn, std::string_view key, std::string_view value);
// A line's field as dwmrig::RecordField reads it, compared; a rectangle field as a RECT.
bool LineHas(std::string_view line, std::string_view key, std::string_view value);
std::optional<RECT> LineRect(std::string_view line, std::string_view key);
// The successful thumbnail registration for a preview window of process pid, or an empty line.
std::string RegistrationOf(HWND preview, DWORD pid);

} // namespace e2e
