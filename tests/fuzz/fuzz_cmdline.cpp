// Fuzzes ParseArguments with arbitrary argument vectors and checks that whatever it accepts is
// consistent, and that the number parsers agree with the C library on ASCII text.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <vector>

#include "app/base/constants.h"
#include "tests/fuzz/check.h"
#include "app/cmdline.h"

namespace {

// In the C locale the C library's parsers skip the same white space and accept the same digits
// as ours, so on ASCII text the two must agree exactly.
void CompareNumberParsers(const wchar_t* text) {
    if (std::any_of(text, text + std::wcslen(text), [](wchar_t c) { return uint32_t(c) >= 0x80; }))
        return;
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long expectedUnsigned = std::wcstoull(text, &end, 0);
    const bool unsignedOk = errno == 0 && end != text && *end == 0;
    uint64_t unsignedValue = 0;
    Check(lumetta::ParseUnsignedNumber(text, &unsignedValue) == unsignedOk,
          "ParseUnsignedNumber accepts differently from wcstoull");
    if (unsignedOk) Check(unsignedValue == expectedUnsigned, "ParseUnsignedNumber value");

    errno = 0;
    const long long expectedSigned = std::wcstoll(text, &end, 10);
    const bool signedOk = errno == 0 && end != text && *end == 0;
    int64_t signedValue = 0;
    Check(lumetta::ParseSignedDecimal(text, &signedValue) == signedOk,
          "ParseSignedDecimal accepts differently from wcstoll");
    if (signedOk) Check(signedValue == expectedSigned, "ParseSignedDecimal value");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses how the rest becomes UTF-16 units: one unit per byte (easy to
    // reach text) or little-endian pairs (any unit). A zero unit separates arguments.
    const bool pairs = data[0] & 1;
    std::vector<wchar_t> units;
    for (size_t i = 1; i < size; i += pairs ? 2 : 1)
        units.push_back(wchar_t(pairs ? data[i] | (i + 1 < size ? data[i + 1] << 8 : 0) : data[i]));
    units.push_back(0);

    // Each argument in an allocation of its own exact size, so that reading past its end or past
    // the last argument is caught. argv[0], the program path, is never read.
    std::vector<std::unique_ptr<wchar_t[]>> storage;
    std::vector<const wchar_t*> argv{L"lumetta"};
    for (auto first = units.begin(); first != units.end();) {
        const auto last = std::find(first, units.end(), wchar_t{0}) + 1;
        storage.emplace_back(new wchar_t[size_t(last - first)]);
        std::copy(first, last, storage.back().get());
        argv.push_back(storage.back().get());
        first = last;
    }

    lumetta::CommandLineArgs args;
    if (lumetta::ParseArguments(static_cast<int>(argv.size()), argv.data(), &args)) {
        Check((args.flags & ~lumetta::CMD_OPTION_MASK) == 0, "unknown flag bits");
        if (args.flags & lumetta::CMD_PREVIEW) {
            Check(args.sourceWindow != 0, "preview without a window");
            Check(args.rect.left < args.rect.right && args.rect.top < args.rect.bottom,
                  "preview rectangle not normalised or empty");
        } else {
            Check(args.sourceWindow == 0, "window without a preview");
            Check(args.rect == lumetta::Rect{}, "rectangle without a preview");
        }
    }
    for (size_t i = 1; i < argv.size(); ++i)
        CompareNumberParsers(argv[i]);
    return 0;
}
