// The fake shell's command line: "--ready-file PATH", nothing else.
#pragma once

#include <string>

namespace rig {

struct ShellOptions {
    std::wstring readyFile; // empty: none
};

// Parses argv[1..argc-1] (argv[0] is the program). False with a one-line reason in *error.
bool ParseShellArgs(int argc, const wchar_t* const* argv, ShellOptions* options,
                    std::wstring* error);

} // namespace rig
