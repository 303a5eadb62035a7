// dwmctl: switches the stand-in compositor from a shell or a script.
//   dwmctl composition on|off
//   dwmctl cloak <hwnd-hex> <value>
//   dwmctl refuse <hwnd-hex> [hr-hex|off]
// Exit code 0 on success, 1 when the window does not exist or the change failed, 2 on a bad line.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control.h"
#include "ctl_args.h"

using namespace dwmrig;

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a;
        for (const wchar_t* p = argv[i]; *p; ++p)
            a += *p < 0x80 ? static_cast<char>(*p) : '?';
        args.push_back(a);
    }
    const CtlRequest req = ParseCtlArgs(args);
    if (req.command == CtlCommand::Invalid) {
        std::fprintf(stderr,
                     "dwmctl: %s\nusage: dwmctl composition on|off\n"
                     "       dwmctl cloak <hwnd-hex> <value>\n"
                     "       dwmctl refuse <hwnd-hex> [hr-hex|off]\n",
                     req.error.c_str());
        return 2;
    }
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(req.hwnd));
    bool ok = false;
    switch (req.command) {
    case CtlCommand::Composition: ok = SetComposition(req.on); break;
    case CtlCommand::Cloak: ok = SetCloaked(hwnd, static_cast<DWORD>(req.value)); break;
    case CtlCommand::Refuse:
        ok = req.on ? SetRefused(hwnd, static_cast<HRESULT>(static_cast<uint32_t>(req.value)))
                    : ClearRefused(hwnd);
        break;
    case CtlCommand::Invalid: break;
    }
    if (!ok) std::fprintf(stderr, "dwmctl: failed (is the window handle right?)\n");
    return ok ? 0 : 1;
}
