#include "record.h"

#include <charconv>
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

constexpr size_t NONE = std::string_view::npos;

// One past the end of the value that starts at s[pos], or NONE when the line breaks off first.
size_t ValueEnd(std::string_view s, size_t pos) {
    if (pos >= s.size()) return NONE;
    if (s[pos] == '"') {
        const size_t close = s.find('"', pos + 1);
        return close == NONE ? NONE : close + 1;
    }
    if (s[pos] != '[' && s[pos] != '{') {
        const size_t end = s.find_first_of(",]}", pos);
        return end == pos ? NONE : end;
    }
    int depth = 0;
    for (size_t i = pos; i < s.size(); ++i) {
        if (s[i] == '"') {
            i = s.find('"', i + 1);
            if (i == NONE) return NONE;
        } else if (s[i] == '[' || s[i] == '{') {
            ++depth;
        } else if ((s[i] == ']' || s[i] == '}') && --depth == 0) {
            return i + 1;
        }
    }
    return NONE;
}

// The value of `key` among the members of the object `s`; with `nested`, in its objects too.
std::optional<std::string_view> Member(std::string_view s, std::string_view key, bool nested) {
    if (s.empty() || s[0] != '{') return std::nullopt;
    for (size_t pos = 1; pos < s.size() && s[pos] == '"';) {
        const size_t close = s.find('"', pos + 1);
        if (close == NONE || close + 1 >= s.size() || s[close + 1] != ':') return std::nullopt;
        const size_t end = ValueEnd(s, close + 2);
        if (end == NONE) return std::nullopt;
        const std::string_view value = s.substr(close + 2, end - close - 2);
        if (s.substr(pos + 1, close - pos - 1) == key) return value;
        if (nested && value[0] == '{')
            if (auto inner = Member(value, key, true)) return inner;
        if (end >= s.size() || s[end] != ',') break;
        pos = end + 1;
    }
    return std::nullopt;
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

std::optional<std::string> RecordField(std::string_view line, std::string_view key) {
    const auto value = Member(line, key, false);
    if (!value) return std::nullopt;
    if (value->front() == '"') return std::string(value->substr(1, value->size() - 2));
    return std::string(*value);
}

std::optional<Rect> RecordRect(std::string_view line, std::string_view key) {
    const auto value = Member(line, key, true);
    if (!value || value->front() != '[') return std::nullopt;
    const char* p = value->data() + 1;
    const char* const end = value->data() + value->size() - 1; // the closing bracket
    int32_t v[4];
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && (p == end || *p++ != ',')) return std::nullopt;
        const auto parsed = std::from_chars(p, end, v[i]);
        if (parsed.ec != std::errc()) return std::nullopt;
        p = parsed.ptr;
    }
    if (p != end) return std::nullopt;
    return Rect{v[0], v[1], v[2], v[3]};
}

} // namespace dwmrig
