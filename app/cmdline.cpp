#include "app/cmdline.h"

#include <limits>

#include "app/base/settings.h"

namespace lumetta {

namespace {

// Bits of the options without arguments, in the order they are compared.
struct NamedOption {
    const wchar_t* name;
    uint32_t flag;
};
constexpr NamedOption SIMPLE_OPTIONS[] = {
    {L"exit", CMD_EXIT}, {L"startup", CMD_STARTUP}, {L"install", CMD_INSTALL}, {L"wait", CMD_WAIT},
    {L"select", 0},
};
constexpr wchar_t PREVIEW_OPTION[] = L"preview";
constexpr int PREVIEW_ARGUMENT_COUNT = 5;

// The white space of the C locale; code units are compared as numbers so that a 16-bit and a
// 32-bit wchar_t behave the same.
bool IsAsciiSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

// Case-insensitive comparison of whole names, folding only A-Z as the C locale does.
bool NamesEqual(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    }
    return *a == *b;
}

// Value of an ASCII digit or letter in bases up to 36; 36 for anything else.
unsigned DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return static_cast<unsigned>(c - L'0');
    const wchar_t lower = AsciiLower(c);
    if (lower >= L'a' && lower <= L'z') return static_cast<unsigned>(lower - L'a') + 10;
    return 36;
}

struct ScannedNumber {
    bool negative = false;
    uint64_t magnitude = 0;
    bool overflow = false; // the digits do not fit in 64 bits
};

// Scans white space, a sign, a base prefix (base 0 only) and digits, and requires the end of
// the text right after them. False when there is no digit or something follows.
bool ScanWholeNumber(const wchar_t* p, unsigned base, ScannedNumber* number) {
    while (IsAsciiSpace(*p))
        ++p;
    if (*p == L'-' || *p == L'+') number->negative = *p++ == L'-';
    if (base == 0) {
        if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) {
            base = 16;
            p += 2;
        } else if (p[0] == L'0') {
            base = 8;
        } else {
            base = 10;
        }
    }
    // "0x" without a hexadecimal digit is no number at all (nothing is consumed).
    bool anyDigit = false;
    for (unsigned digit; (digit = DigitValue(*p)) < base; ++p) {
        anyDigit = true;
        if (number->magnitude > (std::numeric_limits<uint64_t>::max() - digit) / base) {
            number->overflow = true;
        } else {
            number->magnitude = number->magnitude * base + digit;
        }
    }
    return anyDigit && *p == 0;
}

bool ParsePreviewWindow(const wchar_t* text, uint32_t* window) {
    if (!text || text[0] == 0 || text[0] == L'-') return false;
    uint64_t value = 0;
    if (!ParseUnsignedNumber(text, &value)) return false;
    if (value == 0 || value > std::numeric_limits<uint32_t>::max()) return false;
    *window = static_cast<uint32_t>(value);
    return true;
}

bool ParseCoordinate(const wchar_t* text, int32_t* coordinate) {
    if (!text || text[0] == 0) return false;
    int64_t value = 0;
    if (!ParseSignedDecimal(text, &value)) return false;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    *coordinate = static_cast<int32_t>(value);
    return true;
}

// The five arguments after -preview.
bool ParsePreviewArguments(const wchar_t* const* args, uint32_t* window, Rect* rect) {
    Rect r{};
    if (!ParsePreviewWindow(args[0], window) || !ParseCoordinate(args[1], &r.left) ||
        !ParseCoordinate(args[2], &r.top) || !ParseCoordinate(args[3], &r.right) ||
        !ParseCoordinate(args[4], &r.bottom))
        return false;
    r = NormalizeRect(r);
    if (IsRectEmpty(r)) return false;
    *rect = r;
    return true;
}

} // namespace

bool ParseUnsignedNumber(const wchar_t* text, uint64_t* value) {
    if (!text || !value) return false;
    ScannedNumber number;
    if (!ScanWholeNumber(text, 0, &number) || number.overflow) return false;
    *value = number.negative ? 0 - number.magnitude : number.magnitude;
    return true;
}

bool ParseSignedDecimal(const wchar_t* text, int64_t* value) {
    if (!text || !value) return false;
    ScannedNumber number;
    if (!ScanWholeNumber(text, 10, &number) || number.overflow) return false;
    const uint64_t limit =
        static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (number.negative ? 1 : 0);
    if (number.magnitude > limit) return false;
    // Two's complement negation in unsigned arithmetic also covers the 64-bit minimum.
    const uint64_t bits = number.negative ? 0 - number.magnitude : number.magnitude;
    *value = static_cast<int64_t>(bits);
    return true;
}

bool ParseArguments(int argc, const wchar_t* const* argv, CommandLineArgs* out) {
    if (!out || argc < 1 || !argv) return false;
    CommandLineArgs result;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        if (!arg || (arg[0] != L'-' && arg[0] != L'/')) return false;
        const wchar_t* name = arg + 1;

        bool known = false;
        for (const NamedOption& option : SIMPLE_OPTIONS) {
            if (NamesEqual(name, option.name)) {
                result.flags |= option.flag;
                known = true;
                break;
            }
        }
        if (known) continue;

        if (!NamesEqual(name, PREVIEW_OPTION)) return false;
        if (argc - i <= PREVIEW_ARGUMENT_COUNT) return false;
        if (!ParsePreviewArguments(argv + i + 1, &result.sourceWindow, &result.rect)) return false;
        result.flags |= CMD_PREVIEW;
        i += PREVIEW_ARGUMENT_COUNT;
    }
    *out = result;
    return true;
}

bool ShouldStartMainInstance(uint32_t commandFlags, uint32_t settingsFlags) {
    if (commandFlags & CMD_EXIT) return false;
    if ((commandFlags & (CMD_PREVIEW | CMD_WAIT)) == 0 && (settingsFlags & SETTINGS_SILENT_MODE))
        return false;
    return true;
}

} // namespace lumetta
