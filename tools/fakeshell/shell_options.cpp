#include "tools/fakeshell/shell_options.h"

#include <string_view>

namespace rig {

bool ParseShellArgs(int argc, const wchar_t* const* argv, ShellOptions* options,
                    std::wstring* error) {
    *options = ShellOptions{};
    bool readyFileSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        if (arg != L"--ready-file") {
            *error = L"unknown option " + std::wstring(arg);
            return false;
        }
        if (readyFileSeen || i + 1 >= argc || argv[i + 1][0] == L'\0') {
            *error = L"--ready-file needs one path";
            return false;
        }
        readyFileSeen = true;
        options->readyFile = argv[++i];
    }
    return true;
}

} // namespace rig
