#include "app/base/handoff.h"

#include <algorithm>
#include <limits>

namespace lumetta {

namespace {

constexpr size_t OFFSET_SIZE = 0;
constexpr size_t OFFSET_VERSION = 4;
constexpr size_t OFFSET_SOURCE_WINDOW = 8;
constexpr size_t OFFSET_LEFT = 16;
constexpr size_t OFFSET_TOP = 20;
constexpr size_t OFFSET_RIGHT = 24;
constexpr size_t OFFSET_BOTTOM = 28;

void Store32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Store64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Load32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

uint64_t Load64(const uint8_t* p) {
    return uint64_t{Load32(p)} | (uint64_t{Load32(p + 4)} << 32);
}

int32_t LoadSigned32(const uint8_t* p) {
    return static_cast<int32_t>(Load32(p));
}

} // namespace

HandOffRecord MakeHandOffRecord(uint32_t sourceWindow, const Rect& rect) {
    HandOffRecord record;
    record.sourceWindow = sourceWindow;
    record.rect = rect;
    return record;
}

HandOffBytes EncodeHandOffRecord(const HandOffRecord& record) {
    HandOffBytes bytes{};
    Store32(&bytes[OFFSET_SIZE], record.size);
    Store32(&bytes[OFFSET_VERSION], record.version);
    Store64(&bytes[OFFSET_SOURCE_WINDOW], record.sourceWindow);
    Store32(&bytes[OFFSET_LEFT], static_cast<uint32_t>(record.rect.left));
    Store32(&bytes[OFFSET_TOP], static_cast<uint32_t>(record.rect.top));
    Store32(&bytes[OFFSET_RIGHT], static_cast<uint32_t>(record.rect.right));
    Store32(&bytes[OFFSET_BOTTOM], static_cast<uint32_t>(record.rect.bottom));
    return bytes;
}

std::optional<HandOffRecord> AcceptHandOff(uint64_t tag, uint32_t byteCount, const void* data) {
    if (tag != HANDOFF_TAG || byteCount != HANDOFF_RECORD_SIZE || !data) return std::nullopt;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    HandOffRecord record;
    record.size = Load32(p + OFFSET_SIZE);
    record.version = Load32(p + OFFSET_VERSION);
    record.sourceWindow = Load64(p + OFFSET_SOURCE_WINDOW);
    record.rect = Rect{LoadSigned32(p + OFFSET_LEFT), LoadSigned32(p + OFFSET_TOP),
                       LoadSigned32(p + OFFSET_RIGHT), LoadSigned32(p + OFFSET_BOTTOM)};
    if (record.size != HANDOFF_RECORD_SIZE || record.version != HANDOFF_RECORD_VERSION)
        return std::nullopt;
    if (record.sourceWindow == 0 || (record.sourceWindow >> 32) != 0) return std::nullopt;
    return record;
}

std::optional<Rect> ClipToVirtualScreen(const Rect& rect, int32_t screenX, int32_t screenY,
                                        int32_t screenWidth, int32_t screenHeight) {
    // The far edges are taken in 64 bits and held within 32; no real screen comes near that.
    const Rect screen{screenX, screenY, ClampToInt32(int64_t{screenX} + screenWidth),
                      ClampToInt32(int64_t{screenY} + screenHeight)};
    Rect clipped{};
    if (!IntersectNormalizedRects(rect, screen, &clipped)) return std::nullopt;
    return clipped;
}

} // namespace lumetta
