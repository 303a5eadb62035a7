// Fuzzes the main window's acceptance of a WM_COPYDATA and the clipping of an accepted record to
// the virtual screen, checking both against plain re-derivations.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "app/base/constants.h"
#include "tests/fuzz/check.h"
#include "app/base/handoff.h"

namespace {

using lumetta::Rect;

// A little-endian field of the record (the fuzzing hosts are little-endian).
template <typename T> T Field(const uint8_t* record, size_t offset) {
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// The overlap of the normalised record and screen rectangles, computed directly.
std::optional<Rect> Overlap(const Rect& rect, int32_t x, int32_t y, int32_t cx, int32_t cy) {
    const auto clamp32 = [](int64_t v) { return std::clamp<int64_t>(v, INT32_MIN, INT32_MAX); };
    const int64_t sl = x, st = y, sr = clamp32(int64_t{x} + cx), sb = clamp32(int64_t{y} + cy);
    const int64_t left = std::max<int64_t>({std::min(rect.left, rect.right), std::min(sl, sr)});
    const int64_t right = std::min<int64_t>({std::max(rect.left, rect.right), std::max(sl, sr)});
    const int64_t top = std::max<int64_t>({std::min(rect.top, rect.bottom), std::min(st, sb)});
    const int64_t bottom = std::min<int64_t>({std::max(rect.top, rect.bottom), std::max(st, sb)});
    if (left >= right || top >= bottom) return std::nullopt;
    return Rect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Byte 0 chooses the envelope: bit 0 a wrong tag, bit 1 one byte more than a record.
    // Then up to 32 bytes of record, then the virtual screen's x, y, cx and cy.
    if (size == 0) return 0;
    const uint64_t tag =
        (data[0] & 1) ? lumetta::HANDOFF_TAG ^ (uint64_t{data[0]} << 24) : lumetta::HANDOFF_TAG;
    const size_t recordBytes = std::min<size_t>(size - 1, lumetta::HANDOFF_RECORD_SIZE);
    const size_t byteCount = recordBytes + ((data[0] & 2) ? 1 : 0);
    std::unique_ptr<uint8_t[]> record(new uint8_t[byteCount]());
    std::memcpy(record.get(), data + 1, recordBytes);

    const std::optional<lumetta::HandOffRecord> accepted =
        lumetta::AcceptHandOff(tag, static_cast<uint32_t>(byteCount), record.get());
    const bool wellFormed =
        tag == lumetta::HANDOFF_TAG && byteCount == lumetta::HANDOFF_RECORD_SIZE &&
        Field<uint32_t>(record.get(), 0) == lumetta::HANDOFF_RECORD_SIZE &&
        Field<uint32_t>(record.get(), 4) == lumetta::HANDOFF_RECORD_VERSION &&
        Field<uint64_t>(record.get(), 8) != 0 && Field<uint64_t>(record.get(), 8) >> 32 == 0;
    Check(accepted.has_value() == wellFormed, "acceptance differs from the record's rules");
    if (!accepted) return 0;
    const lumetta::HandOffBytes again = lumetta::EncodeHandOffRecord(*accepted);
    Check(std::memcmp(again.data(), record.get(), lumetta::HANDOFF_RECORD_SIZE) == 0,
          "accepted record does not re-encode to its bytes");

    int32_t screen[4] = {0, 0, 1920, 1080};
    const size_t screenAt = 1 + lumetta::HANDOFF_RECORD_SIZE;
    if (size >= screenAt + sizeof screen) std::memcpy(screen, data + screenAt, sizeof screen);
    const std::optional<Rect> clipped =
        lumetta::ClipToVirtualScreen(accepted->rect, screen[0], screen[1], screen[2], screen[3]);
    Check(clipped == Overlap(accepted->rect, screen[0], screen[1], screen[2], screen[3]),
          "clipping differs from the overlap");
    return 0;
}
