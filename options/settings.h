// The settings store's checks of what the registry returns, and the autostart command it writes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/base/settings.h"
#include "options/constants.h"

namespace lumetta {

// What a query of a DWORD value brought back: whether it succeeded, whether the stored type is
// REG_DWORD, the size in bytes the registry reported, and the 4-byte buffer it filled.
struct DwordQuery {
    bool succeeded = false;
    bool isDword = false;
    uint32_t byteCount = 0;
    uint32_t value = 0;
};

// The stored value when the query succeeded with a REG_DWORD of 4 bytes, else the default.
uint32_t DwordOrDefault(const DwordQuery& query, uint32_t defaultValue);

// The REG_SZ data of the autostart value: "path" /startup, in a zero-filled buffer.
struct AutostartCommand {
    wchar_t text[AUTOSTART_BUFFER_UNITS] = {};
    uint32_t length = 0;    // UTF-16 units before the terminating null
    uint32_t byteCount = 0; // size to store, the terminating null included
};

// Builds the command from the program path as GetModuleFileNameW returned it into a buffer of
// AUTOSTART_PATH_CAPACITY units (pathLength is its result). False when the path is missing or
// takes the whole capacity, since it may then have been cut.
bool BuildAutostartCommand(const wchar_t* path, size_t pathLength, AutostartCommand* out);

} // namespace lumetta
