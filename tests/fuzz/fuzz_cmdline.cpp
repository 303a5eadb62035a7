// Fuzzes ParseArguments with arbitrary argument vectors and checks that whatever it accepts is
// consistent, and that the number parsers agree with the C library on ASCII text.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <vector>

#include "app/cmdline.h"
#include "app/base/constants.h"

namespace {

using lumetta::CommandLineArgs;

void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what) {
    if (!condition) Fail(what);
}

bool IsAscii(const wchar_t* text) {
    for (; *text; ++text) {
        if (static_cast<uint32_t>(*text) >= 0x80) return false;
    }
    return true;
}

// In the C locale the C library's parsers skip the same white space and accept the same digits
// as ours, so on ASCII text the two must agree exactly.
void CompareNumberParsers(const wchar_t* text) {
    if (!IsAscii(text)) return;

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
    std::vector<uint16_t> units;
    for (size_t i = 1; i < size; i += pairs ? 2 : 1) {
        units.push_back(pairs
                            ? static_cast<uint16_t>(data[i] | (i + 1 < size ? data[i + 1] << 8 : 0))
                            : data[i]);
    }

    // Each argument in an allocation of its own exact size, so that reading past its end or past
    // the last argument is caught.
    std::vector<std::unique_ptr<wchar_t[]>> storage;
    const auto addArgument = [&storage](const uint16_t* first, size_t count) {
        std::unique_ptr<wchar_t[]> arg(new wchar_t[count + 1]);
        for (size_t i = 0; i < count; ++i)
            arg[i] = first[i];
        arg[count] = 0;
        storage.push_back(std::move(arg));
    };
    const uint16_t program[] = {'l', 'u', 'm', 'e', 't', 't', 'a'};
    addArgument(program, sizeof program / sizeof program[0]);
    size_t start = 0;
    for (size_t i = 0; i <= units.size(); ++i) {
        if (i == units.size() || units[i] == 0) {
            addArgument(units.data() + start, i - start);
            start = i + 1;
        }
    }
    std::vector<const wchar_t*> argv;
    for (const auto& arg : storage)
        argv.push_back(arg.get());

    CommandLineArgs args;
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
