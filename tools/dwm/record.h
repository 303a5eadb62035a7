// The stand-in's record: one line of JSON per call, built here without any system call.
//
// Every line is {"fn":NAME,"pid":N,"tid":N, the call's arguments..., "hr":"0x%08x"} and ends in
// "\n". Handles are "0x..." in lower-case hex, rectangles [left,top,right,bottom], missing
// (null) pointers null. Keys are unique within a line. Nothing is escaped: keys, names and values
// never hold a quote or a backslash. RecordField and RecordRect read such lines back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "types.h"

namespace dwmrig {

struct Record {
    std::string text;
};

Record BeginRecord(const char* fn, uint32_t pid, uint32_t tid);
void AddHandle(Record& r, const char* key, uint64_t handle); // "0x1a2b"
void AddHex32(Record& r, const char* key, uint32_t value);   // "0x1b"
void AddInt(Record& r, const char* key, int64_t value);
void AddNull(Record& r, const char* key);
void AddRect(Record& r, const char* key, const Rect& rect);
void AddSize(Record& r, const char* key, int32_t cx, int32_t cy); // [cx,cy]
// Every field of DWM_THUMBNAIL_PROPERTIES by its Win32 name; null when `props` is null.
void AddThumbProps(Record& r, const char* key, const ThumbProps* props);
// Closes the line with the result as "hr":"0x%08x".
std::string EndRecord(Record r, int32_t hr);
// Closes the line of a call that returns BOOL with "result":N.
std::string EndRecordBool(Record r, int32_t result);

// The raw text of a top-level field of a line: a number or null as written, a string without its
// quotes, an array or object with its brackets. None when the line has no such top-level key, or
// breaks off before its value ends.
std::optional<std::string> RecordField(std::string_view line, std::string_view key);
// A [left,top,right,bottom] field at any depth ("rcSource" inside "props" too); none when absent
// or not four integers.
std::optional<Rect> RecordRect(std::string_view line, std::string_view key);

} // namespace dwmrig
