#include "select/hint_text_win.h"

#include <iterator>

#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "res/resource.h"
#include "select/constants.h"
#include "select/gdiplus_win.h"
#include "select/selection.h"

namespace lumetta {
namespace {

using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStatus;
using Gdiplus::GpStringFormat;
using Gdiplus::RectF;

constexpr INT WHOLE_STRING = -1;

// GDI+ objects of the flat API, each deleted once by its owner.
struct GpFontFamilyTraits {
    static GpFontFamily* Invalid() { return nullptr; }
    static void Free(GpFontFamily* p) { Gdip.GdipDeleteFontFamily(p); }
};
struct GpFontTraits {
    static GpFont* Invalid() { return nullptr; }
    static void Free(GpFont* p) { Gdip.GdipDeleteFont(p); }
};
struct GpStringFormatTraits {
    static GpStringFormat* Invalid() { return nullptr; }
    static void Free(GpStringFormat* p) { Gdip.GdipDeleteStringFormat(p); }
};
struct GpGraphicsTraits {
    static GpGraphics* Invalid() { return nullptr; }
    static void Free(GpGraphics* p) { Gdip.GdipDeleteGraphics(p); }
};
struct GpSolidFillTraits {
    static GpSolidFill* Invalid() { return nullptr; }
    static void Free(GpSolidFill* p) { Gdip.GdipDeleteBrush(p); }
};
using OwnedFontFamily = Owned<GpFontFamily*, GpFontFamilyTraits>;
using OwnedGpFont = Owned<GpFont*, GpFontTraits>;
using OwnedStringFormat = Owned<GpStringFormat*, GpStringFormatTraits>;
using OwnedGraphics = Owned<GpGraphics*, GpGraphicsTraits>;
using OwnedSolidFill = Owned<GpSolidFill*, GpSolidFillTraits>;

// How the hint looks: one record, so that a change of look is a change of values.
struct HintStyle {
    GpFont* font;
    GpStringFormat* format;
    Gdiplus::ARGB textColor;
    Gdiplus::ARGB haloColor;
    Gdiplus::ARGB shadowColor;
    int32_t haloWidth;    // drawn when above 0
    int32_t shadowOffset; // drawn when not 0
};

OwnedGpFont MakeFont(float emSize) {
    OwnedGpFont font;
    OwnedFontFamily family;
    // A system without the family (or without any sans-serif family at all) must still come up:
    // every failure leaves the handle null, and a null font simply draws nothing.
    if (Gdip.GdipCreateFontFamilyFromName(HINT_FONT_FAMILY, nullptr, family.Put()) == Gdiplus::Ok &&
        family) {
        Gdip.GdipCreateFont(family.Get(), emSize, Gdiplus::FontStyleBold, Gdiplus::UnitPixel,
                            font.Put());
    }
    if (!font) {
        family.Reset();
        if (Gdip.GdipGetGenericFontFamilySansSerif(family.Put()) == Gdiplus::Ok && family) {
            Gdip.GdipCreateFont(family.Get(), emSize, Gdiplus::FontStyleBold, Gdiplus::UnitPixel,
                                font.Put());
        }
    }
    return font;
}

OwnedStringFormat MakeFormat() {
    OwnedStringFormat format;
    GpStringFormat* typographic = nullptr; // owned by GDI+
    if (Gdip.GdipStringFormatGetGenericTypographic(&typographic) != Gdiplus::Ok || !typographic)
        return format;
    if (Gdip.GdipCloneStringFormat(typographic, format.Put()) != Gdiplus::Ok || !format)
        return OwnedStringFormat();
    INT flags = 0;
    Gdip.GdipGetStringFormatFlags(format.Get(), &flags);
    Gdip.GdipSetStringFormatFlags(format.Get(), flags | Gdiplus::StringFormatFlagsNoWrap);
    Gdip.GdipSetStringFormatAlign(format.Get(), Gdiplus::StringAlignmentFar);
    Gdip.GdipSetStringFormatLineAlign(format.Get(), Gdiplus::StringAlignmentFar);
    Gdip.GdipSetStringFormatTrimming(format.Get(), Gdiplus::StringTrimmingNone);
    return format;
}

RectF Moved(const RectF& r, int32_t dx, int32_t dy) {
    return RectF(r.X + float(dx), r.Y + float(dy), r.Width, r.Height);
}

void DrawTextAt(GpGraphics* graphics, const HintStyle& style, const wchar_t* text,
                GpSolidFill* brush, Gdiplus::ARGB color, const RectF& at) {
    Gdip.GdipSetSolidFillColor(brush, color);
    Gdip.GdipDrawString(graphics, text, WHOLE_STRING, style.font, &at, style.format, brush);
}

// Shadow, then a halo at the four diagonal offsets only, then the text itself.
void DrawHintText(GpGraphics* graphics, const HintStyle& style, const wchar_t* text,
                  const RectF& layout) {
    if (!style.font) return;
    OwnedSolidFill brush;
    if (Gdip.GdipCreateSolidFill(style.textColor, brush.Put()) != Gdiplus::Ok || !brush) return;
    if (style.shadowOffset != 0) {
        DrawTextAt(graphics, style, text, brush.Get(), style.shadowColor,
                   Moved(layout, style.shadowOffset, style.shadowOffset));
    }
    if (style.haloWidth > 0) {
        for (int32_t dy = -style.haloWidth; dy <= style.haloWidth; dy += 2 * style.haloWidth) {
            for (int32_t dx = -style.haloWidth; dx <= style.haloWidth; dx += 2 * style.haloWidth)
                DrawTextAt(graphics, style, text, brush.Get(), style.haloColor,
                           Moved(layout, dx, dy));
        }
    }
    DrawTextAt(graphics, style, text, brush.Get(), style.textColor, layout);
}

float MeasureTextHeight(GpGraphics* graphics, const HintStyle& style, const wchar_t* text) {
    if (!style.font) return HINT_FALLBACK_HEIGHT;
    const RectF unbounded(0, 0, 0, 0);
    RectF box;
    if (Gdip.GdipMeasureString(graphics, text, WHOLE_STRING, style.font, &unbounded, style.format,
                               &box, nullptr, nullptr) != Gdiplus::Ok) {
        return HINT_FALLBACK_HEIGHT;
    }
    return box.Height;
}

} // namespace

bool DrawHintIntoBitmap(HBITMAP bitmap, const Rect& workArea, uint32_t dpi, Rect* layout) {
    OwnedGpFont font = MakeFont(HintEmSize(dpi));
    OwnedStringFormat format = MakeFormat();
    const HintStyle style{font.Get(),        format.Get(),    HINT_TEXT_COLOR,   HINT_HALO_COLOR,
                          HINT_SHADOW_COLOR, HINT_HALO_WIDTH, HINT_SHADOW_OFFSET};

    OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    SelectionGuard selected(dc.Get(), bitmap);
    if (!selected.Selected()) return false;
    OwnedGraphics graphics;
    if (Gdip.GdipCreateFromHDC(dc.Get(), graphics.Put()) != Gdiplus::Ok || !graphics) return false;
    Gdip.GdipSetCompositingMode(graphics.Get(), Gdiplus::CompositingModeSourceOver);
    Gdip.GdipSetTextRenderingHint(graphics.Get(), Gdiplus::TextRenderingHintAntiAliasGridFit);

    TextBuffer text;
    LoadText(IDS_SELECT_HINT, text);
    *layout = HintLayoutRect(workArea, MeasureTextHeight(graphics.Get(), style, text));
    const RectF at(float(layout->left), float(layout->top), float(RectWidth(*layout)),
                   float(RectHeight(*layout)));
    DrawHintText(graphics.Get(), style, text, at);
    return true;
}

} // namespace lumetta
