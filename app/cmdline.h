// The command line: options, their parsing into CommandFlags and the preview request, and the
// choices of the process's role that follow from them.
#pragma once

#include <cstdint>

#include "app/base/constants.h"
#include "app/base/geometry.h"

namespace lumetta {

struct CommandLineArgs {
    uint32_t flags = 0;        // CMD_* bits of the options given
    uint32_t sourceWindow = 0; // window handle of -preview (it must fit in 32 bits), else 0
    Rect rect = {};            // normalised, non-empty rectangle of -preview, else empty
};

// Parses argv[1..argc-1] (argv[0] is the program path). Options begin with '-' or '/', their
// names are compared whole and without regard to ASCII case: exit, startup, install, wait,
// select, and preview followed by a window and left, top, right, bottom. Options may repeat;
// a later -preview replaces an earlier one. False on any error, and out must then not be used.
bool ParseArguments(int argc, const wchar_t* const* argv, CommandLineArgs* out);

// A whole argument as an unsigned 64-bit number with the base from its prefix ("0x"/"0X"
// hexadecimal, "0" octal, else decimal) after optional ASCII white space and a sign ('-'
// negates modulo 2^64). False when it has no digits, overflows or has anything after the
// number. The same on every platform, whatever the width of wchar_t.
bool ParseUnsignedNumber(const wchar_t* text, uint64_t* value);

// A whole argument as a signed 64-bit decimal number after optional ASCII white space and a
// sign. False when it has no digits, lies outside the 64-bit range or has anything after it.
bool ParseSignedDecimal(const wchar_t* text, int64_t* value);

// No option that makes a main instance or a messenger: the process runs one selection.
inline bool IsSelectionRole(uint32_t commandFlags) {
    return (commandFlags & CMD_MAIN_INSTANCE_MASK) == 0;
}

// wParam of the WM_INSTANCE_COMMAND a messenger posts: the preview goes by WM_COPYDATA instead.
inline uint32_t InstanceCommandFlags(uint32_t commandFlags) {
    return commandFlags & ~CMD_PREVIEW;
}

// With no main instance running, whether this process becomes one: not for -exit, and in
// silent mode only when it has a preview to open or is told to wait for one.
bool ShouldStartMainInstance(uint32_t commandFlags, uint32_t settingsFlags);

} // namespace lumetta
