// The command line of dwmctl.exe, the stand-in compositor's switchboard.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dwmrig {

enum class CtlCommand { Invalid, Composition, Cloak, Refuse };

struct CtlRequest {
    CtlCommand command = CtlCommand::Invalid;
    bool on = false; // composition on; for refuse, false clears the mark
    uint64_t hwnd = 0;
    uint64_t value = 0; // the cloak value, or the refusal's HRESULT
    std::string error;  // why the line was not understood
};

// `args` are the arguments after the program name:
//   composition on|off
//   cloak <hwnd-hex> <value>        value decimal or 0x-hex; 0 removes the mark
//   refuse <hwnd-hex> [hr-hex|off]  hr defaults to 0x80070057 (E_INVALIDARG)
CtlRequest ParseCtlArgs(const std::vector<std::string>& args);

// Hex with or without "0x"; the whole text must be a number that fits 64 bits.
bool ParseHex(const std::string& text, uint64_t* out);
// Decimal, or hex after "0x".
bool ParseNumber(const std::string& text, uint64_t* out);

} // namespace dwmrig
