#include "record.h"

#include <cinttypes>
#include <cstdio>

namespace dwmrig {
namespace {

void Key(Record& r, const char* key) {
    r.text += ",\"";
    r.text += key;
    r.text += "\":";
}

std::string Hex(uint64_t v, int digits) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%0*" PRIx64, digits, v);
    return buf;
}

std::string RectText(const Rect& rc) {
    return "[" + std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
           std::to_string(rc.right) + "," + std::to_string(rc.bottom) + "]";
}

} // namespace

Record BeginRecord(const char* fn, uint32_t pid, uint32_t tid) {
    Record r;
    r.text = "{\"fn\":\"";
    r.text += fn;
    r.text += "\",\"pid\":" + std::to_string(pid) + ",\"tid\":" + std::to_string(tid);
    return r;
}

void AddHandle(Record& r, const char* key, uint64_t handle) {
    Key(r, key);
    r.text += "\"" + Hex(handle, 1) + "\"";
}

void AddHex32(Record& r, const char* key, uint32_t value) {
    Key(r, key);
    r.text += "\"" + Hex(value, 1) + "\"";
}

void AddInt(Record& r, const char* key, int64_t value) {
    Key(r, key);
    r.text += std::to_string(value);
}

void AddNull(Record& r, const char* key) {
    Key(r, key);
    r.text += "null";
}

void AddRect(Record& r, const char* key, const Rect& rect) {
    Key(r, key);
    r.text += RectText(rect);
}

void AddSize(Record& r, const char* key, int32_t cx, int32_t cy) {
    Key(r, key);
    r.text += "[" + std::to_string(cx) + "," + std::to_string(cy) + "]";
}

void AddThumbProps(Record& r, const char* key, const ThumbProps* props) {
    if (!props) {
        AddNull(r, key);
        return;
    }
    Key(r, key);
    r.text += "{\"dwFlags\":\"" + Hex(props->dwFlags, 1) + "\"";
    r.text += ",\"rcDestination\":" + RectText(props->rcDestination);
    r.text += ",\"rcSource\":" + RectText(props->rcSource);
    r.text += ",\"opacity\":" + std::to_string(props->opacity);
    r.text += ",\"fVisible\":" + std::to_string(props->fVisible);
    r.text += ",\"fSourceClientAreaOnly\":" + std::to_string(props->fSourceClientAreaOnly) + "}";
}

std::string EndRecord(Record r, int32_t hr) {
    r.text += ",\"hr\":\"" + Hex(static_cast<uint32_t>(hr), 8) + "\"}\n";
    return std::move(r.text);
}

std::string EndRecordBool(Record r, int32_t result) {
    r.text += ",\"result\":" + std::to_string(result) + "}\n";
    return std::move(r.text);
}

} // namespace dwmrig
