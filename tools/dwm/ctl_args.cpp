#include "ctl_args.h"

#include "constants.h"

namespace dwmrig {
namespace {

bool HasHexPrefix(const std::string& t) {
    return t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
}

bool ParseDigits(const std::string& text, size_t from, uint64_t base, uint64_t* out) {
    if (from >= text.size()) return false;
    uint64_t v = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        uint64_t d;
        if (c >= '0' && c <= '9')
            d = static_cast<uint64_t>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = static_cast<uint64_t>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = static_cast<uint64_t>(c - 'A' + 10);
        else
            return false;
        if (v > (UINT64_MAX - d) / base) return false;
        v = v * base + d;
    }
    *out = v;
    return true;
}

CtlRequest Fail(const std::string& why) {
    CtlRequest r;
    r.error = why;
    return r;
}

} // namespace

bool ParseHex(const std::string& text, uint64_t* out) {
    return ParseDigits(text, HasHexPrefix(text) ? 2 : 0, 16, out);
}

bool ParseNumber(const std::string& text, uint64_t* out) {
    return HasHexPrefix(text) ? ParseDigits(text, 2, 16, out) : ParseDigits(text, 0, 10, out);
}

CtlRequest ParseCtlArgs(const std::vector<std::string>& args) {
    if (args.empty()) return Fail("no command");
    const std::string& cmd = args[0];
    CtlRequest r;
    if (cmd == "composition") {
        if (args.size() != 2 || (args[1] != "on" && args[1] != "off"))
            return Fail("composition takes on or off");
        r.command = CtlCommand::Composition;
        r.on = args[1] == "on";
        return r;
    }
    if (cmd != "cloak" && cmd != "refuse") return Fail("unknown command " + cmd);
    if (args.size() < 2 || !ParseHex(args[1], &r.hwnd) || r.hwnd == 0)
        return Fail(cmd + " needs a window handle in hex");
    if (cmd == "cloak") {
        if (args.size() != 3 || !ParseNumber(args[2], &r.value) || r.value > UINT32_MAX)
            return Fail("cloak needs a value (0 removes the mark)");
        r.command = CtlCommand::Cloak;
        return r;
    }
    r.command = CtlCommand::Refuse;
    r.on = true;
    r.value = static_cast<uint32_t>(HR_E_INVALIDARG);
    if (args.size() == 2) return r;
    if (args.size() != 3) return Fail("refuse takes a window handle and an optional HRESULT");
    if (args[2] == "off") {
        r.on = false;
        return r;
    }
    if (!ParseHex(args[2], &r.value) || r.value == 0 || r.value > UINT32_MAX)
        return Fail("refuse needs a non-zero HRESULT in hex, or off");
    return r;
}

} // namespace dwmrig
