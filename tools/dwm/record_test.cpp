#include "tools/dwm/record.h"

#include <gtest/gtest.h>

#include "tools/dwm/constants.h"

namespace dwmrig {
namespace {

TEST(Record, UpdateCarriesEveryPropertyField) {
    ThumbProps p;
    p.dwFlags = 0x1b;
    p.rcDestination = {-400, -200, 1200, 1000};
    p.rcSource = {0, 0, 800, 600};
    p.opacity = 255;
    p.fVisible = 1;
    p.fSourceClientAreaOnly = 1;
    Record r = BeginRecord("DwmUpdateThumbnailProperties", 123, 456);
    AddHandle(r, "thumb", 0x7d0004);
    AddThumbProps(r, "props", &p);
    EXPECT_EQ(EndRecord(r, 0), "{\"fn\":\"DwmUpdateThumbnailProperties\",\"pid\":123,\"tid\":456,"
                               "\"thumb\":\"0x7d0004\",\"props\":{\"dwFlags\":\"0x1b\","
                               "\"rcDestination\":[-400,-200,1200,1000],\"rcSource\":[0,0,800,600],"
                               "\"opacity\":255,\"fVisible\":1,\"fSourceClientAreaOnly\":1},"
                               "\"hr\":\"0x00000000\"}\n");
}

struct FieldCase {
    const char* what;
    void (*add)(Record&);
    const char* expected; // what follows the "tid" field, before "hr"
};

class RecordFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(RecordFieldTest, Formats) {
    Record r = BeginRecord("F", 1, 2);
    GetParam().add(r);
    EXPECT_EQ(EndRecord(r, HR_E_INVALIDARG), std::string("{\"fn\":\"F\",\"pid\":1,\"tid\":2") +
                                                 GetParam().expected + ",\"hr\":\"0x80070057\"}\n")
        << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFieldTest,
    testing::Values(
        FieldCase{"null properties", [](Record& r) { AddThumbProps(r, "props", nullptr); },
                  ",\"props\":null"},
        FieldCase{"64-bit handle", [](Record& r) { AddHandle(r, "hwnd", 0xffffffff00010a2bull); },
                  ",\"hwnd\":\"0xffffffff00010a2b\""},
        FieldCase{"null handle", [](Record& r) { AddHandle(r, "hwnd", 0); }, ",\"hwnd\":\"0x0\""},
        FieldCase{"negative numbers", [](Record& r) { AddInt(r, "cxLeftWidth", -1); },
                  ",\"cxLeftWidth\":-1"},
        FieldCase{"rectangle",
                  [](Record& r) {
                      AddRect(r, "value", Rect{-3, 4, 5, 6});
                  },
                  ",\"value\":[-3,4,5,6]"},
        FieldCase{"size", [](Record& r) { AddSize(r, "size", 640, 480); }, ",\"size\":[640,480]"},
        FieldCase{"message number", [](Record& r) { AddHex32(r, "msg", 0x84); },
                  ",\"msg\":\"0x84\""},
        FieldCase{"missing output", [](Record& r) { AddNull(r, "thumb"); }, ",\"thumb\":null"},
        FieldCase{"properties with opacity 0 and odd booleans",
                  [](Record& r) {
                      ThumbProps p;
                      p.dwFlags = 0x4;
                      p.fVisible = -1;
                      AddThumbProps(r, "props", &p);
                  },
                  ",\"props\":{\"dwFlags\":\"0x4\",\"rcDestination\":[0,0,0,0],"
                  "\"rcSource\":[0,0,0,0],\"opacity\":0,\"fVisible\":-1,"
                  "\"fSourceClientAreaOnly\":0}"}));

TEST(Record, BoolResultEndsWithResult) {
    Record r = BeginRecord("DwmDefWindowProc", 7, 8);
    EXPECT_EQ(EndRecordBool(r, 0),
              "{\"fn\":\"DwmDefWindowProc\",\"pid\":7,\"tid\":8,\"result\":0}\n");
}

TEST(Record, FailureHresultsAreEightHexDigits) {
    EXPECT_EQ(EndRecord(BeginRecord("F", 0, 0), HR_DWM_E_COMPOSITIONDISABLED),
              "{\"fn\":\"F\",\"pid\":0,\"tid\":0,\"hr\":\"0x80263001\"}\n");
}

} // namespace
} // namespace dwmrig
