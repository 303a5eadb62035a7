#include "tools/dwm/record.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tools/dwm/constants.h"

namespace dwmrig {

void PrintTo(const Rect& r, std::ostream* os); // in mapping_test.cpp

namespace {

// Lines of every shape the writer makes; the last one breaks off inside "rcSource".
std::string Line(int which) {
    Record r = BeginRecord(which % 4 ? "F" : "DwmUpdateThumbnailProperties", 123, 456);
    const ThumbProps p{0x1b, {-400, -200, 1200, 1000}, {0, 0, 800, 600}, 255, 1, 1};
    switch (which) {
    case 1:
        AddHandle(r, "hwndDestination", 0);
        AddHandle(r, "hwndSource", 0xffffffff00010a2bull);
        AddNull(r, "thumb");
        return EndRecord(r, HR_E_INVALIDARG);
    case 2:
        AddInt(r, "dwAttribute", 9);
        AddRect(r, "value", Rect{-3, 4, 5, -6});
        AddSize(r, "size", 640, 480);
        return EndRecord(r, HR_DWM_E_COMPOSITIONDISABLED);
    case 3: AddThumbProps(r, "props", nullptr); return EndRecordBool(r, 0);
    default:
        AddHandle(r, "thumb", 0x7d0004);
        AddThumbProps(r, "props", &p);
        return EndRecord(r, 0).substr(0, which == 0 ? std::string::npos : 150);
    }
}

TEST(Record, ReadsBackWhatItWrote) {
    const std::optional<std::string> none;
    const std::optional<Rect> noRect;
    // line, key, the field as text, as a rectangle
    const std::tuple<int, const char*, std::optional<std::string>, std::optional<Rect>> cases[] = {
        {0, "fn", "DwmUpdateThumbnailProperties", noRect},
        {0, "props",
         "{\"dwFlags\":\"0x1b\",\"rcDestination\":[-400,-200,1200,1000],\"rcSource\":[0,0,800,600],"
         "\"opacity\":255,\"fVisible\":1,\"fSourceClientAreaOnly\":1}",
         noRect},
        {0, "rcDestination", none, Rect{-400, -200, 1200, 1000}}, // not a top-level field
        {1, "hwnd", none, noRect},                                // a prefix of two keys
        {1, "hwndDestination", "0x0", noRect},
        {1, "hwndSource", "0xffffffff00010a2b", noRect},
        {1, "thumb", "null", noRect},
        {2, "Attribute", none, noRect}, // a suffix
        {2, "value", "[-3,4,5,-6]", Rect{-3, 4, 5, -6}},
        {2, "size", "[640,480]", noRect},
        {3, "result", "0", noRect},
        {3, "hr", none, noRect},
        {4, "thumb", "0x7d0004", noRect},
        {4, "hr", none, noRect},
    };
    for (const auto& [which, key, field, rect] : cases) {
        const std::string line = Line(which);
        EXPECT_EQ(RecordField(line, key), field) << line << key;
        EXPECT_EQ(RecordRect(line, key), rect) << line << key;
    }
}

} // namespace
} // namespace dwmrig
