#include "options/settings.h"

#include <iterator>

namespace lumetta {

namespace {

// Registry strings are UTF-16 whatever the host's wchar_t is.
constexpr uint32_t UTF16_UNIT_BYTES = 2;

// Opening quote, the longest accepted path, closing quote, blank, switch and its null.
static_assert(1 + (AUTOSTART_PATH_CAPACITY - 1) + 2 + std::size(AUTOSTART_SWITCH) <=
              AUTOSTART_BUFFER_UNITS);

} // namespace

uint32_t DwordOrDefault(const DwordQuery& query, uint32_t defaultValue) {
    if (!query.succeeded || !query.isDword || query.byteCount != sizeof(query.value))
        return defaultValue;
    return query.value;
}

bool BuildAutostartCommand(const wchar_t* path, size_t pathLength, AutostartCommand* out) {
    if (!out || !path || pathLength == 0 || pathLength >= AUTOSTART_PATH_CAPACITY) return false;
    AutostartCommand command;
    uint32_t n = 0;
    command.text[n++] = L'"';
    for (size_t i = 0; i < pathLength; ++i)
        command.text[n++] = path[i];
    command.text[n++] = L'"';
    command.text[n++] = L' ';
    for (const wchar_t* s = AUTOSTART_SWITCH; *s; ++s)
        command.text[n++] = *s;
    command.length = n;
    command.byteCount = (n + 1) * UTF16_UNIT_BYTES;
    *out = command;
    return true;
}

} // namespace lumetta
