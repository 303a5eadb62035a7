#include "overlay/render_win.h"

#include <iterator>

#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "overlay/constants.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr int32_t LABEL_UNITS = 32;
constexpr UINT LABEL_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

COLORREF KeyColour(uint32_t rgb) {
    return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

void Fill(HDC dc, const RECT& rect, uint32_t key) {
    const OwnedBrush brush(CreateSolidBrush(KeyColour(key)));
    if (brush) FillRect(dc, &rect, brush.Get());
}

// Unblended text: a smoothed edge would mix the glyph colour with the bar's and turn translucent.
void DrawZoomLabel(const PreviewOverlay* overlay, HDC dc, const RECT& button) {
    const OwnedFont font(CreateFontW(
        -ScaleForDpi(OVERLAY_LABEL_TEXT_96, overlay->dpi), 0, 0, 0, OVERLAY_LABEL_WEIGHT, FALSE,
        FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        NONANTIALIASED_QUALITY, FF_SWISS | DEFAULT_PITCH, OVERLAY_LABEL_FONT));
    if (!font) return;
    TextBuffer format;
    LoadText(IDS_ZOOM_LABEL_FORMAT, format);
    wchar_t text[LABEL_UNITS] = {};
    _snwprintf(text, LABEL_UNITS - 1, format, overlay->zoomPercent);
    const SelectionGuard selected(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, KeyColour(OVERLAY_KEY_GLYPH));
    RECT box = button;
    DrawTextW(dc, text, -1, &box, LABEL_FORMAT);
}

void DrawStrokes(HDC dc, const OverlayGlyph& glyph, HBRUSH dotBrush) {
    for (int32_t i = 0; i < glyph.count; ++i) {
        const Rect& at = glyph.parts[i].at;
        switch (glyph.parts[i].stroke) {
        case GlyphStroke::Line:
            MoveToEx(dc, at.left, at.top, nullptr);
            LineTo(dc, at.right, at.bottom);
            break;
        case GlyphStroke::Box: Rectangle(dc, at.left, at.top, at.right, at.bottom); break;
        case GlyphStroke::Dot: {
            const SelectionGuard filled(dc, dotBrush);
            if (filled.Selected()) Ellipse(dc, at.left, at.top, at.right, at.bottom);
            break;
        }
        }
    }
}

} // namespace

void DrawOverlay(const PreviewOverlay* overlay, HDC dc) {
    Fill(dc, RECT{0, 0, overlay->barWidth, overlay->barHeight}, OVERLAY_KEY_EMPTY);
    const int32_t corner = ScaleForDpi(OVERLAY_CORNER_96, overlay->dpi);
    const OwnedBrush bar(CreateSolidBrush(KeyColour(OVERLAY_KEY_BAR)));
    for (const RECT& group : overlay->groupRects) {
        if (IsRectEmpty(&group) || !bar) continue;
        const OwnedRegion pill(CreateRoundRectRgn(group.left, group.top, group.right + 1,
                                                  group.bottom + 1, corner, corner));
        if (pill) FillRgn(dc, pill.Get(), bar.Get());
    }
    for (int32_t slot = 0; slot < OVERLAY_SLOTS; ++slot) {
        const RECT& button = overlay->buttonRects[slot];
        if (IsRectEmpty(&button)) continue;
        DrawOverlayButton(overlay, dc, static_cast<OverlayButton>(slot), button,
                          overlay->hotButton == slot, overlay->pressedButton == slot);
    }
}

// Lines and shapes are drawn aliased with a solid pen, so every pixel is exactly a key colour.
void DrawOverlayButton(const PreviewOverlay* overlay, HDC dc, OverlayButton slot,
                       const RECT& button, bool hot, bool pressed) {
    if (hot || pressed) Fill(dc, button, pressed ? OVERLAY_KEY_PRESSED : OVERLAY_KEY_HOT);
    if (slot == OverlayButton::ZoomLabel) {
        DrawZoomLabel(overlay, dc, button);
        return;
    }
    const COLORREF white = KeyColour(OVERLAY_KEY_GLYPH);
    const OwnedPen pen(CreatePen(PS_SOLID, ScaleForDpi(OVERLAY_PEN_96, overlay->dpi), white));
    if (!pen) return;
    const OwnedBrush dots(CreateSolidBrush(white));
    const SelectionGuard penSelected(dc, pen.Get());
    const SelectionGuard hollow(dc, GetStockObject(NULL_BRUSH));
    DrawStrokes(dc, GlyphFor(slot, ToRect(button), overlay->dpi, overlay->maximized != FALSE),
                dots.Get());
}

void RenderOverlay(PreviewOverlay* overlay) {
    if (!overlay->overlayWnd || !IsWindow(overlay->overlayWnd) || overlay->barWidth < 1 ||
        overlay->barHeight < 1) {
        return;
    }
    const WindowDc screen(nullptr);
    if (!screen) return;
    const OwnedMemoryDc memory(CreateCompatibleDC(screen.Get()));
    if (!memory) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = overlay->barWidth;
    info.bmiHeader.biHeight = -overlay->barHeight; // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const OwnedBitmap bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return;
    const SelectionGuard selected(memory.Get(), bitmap.Get());
    if (!selected.Selected()) return;
    DrawOverlay(overlay, memory.Get());
    GdiFlush();
    ConvertOverlayPixels(static_cast<uint32_t*>(bits),
                         static_cast<size_t>(overlay->barWidth) * overlay->barHeight);
    RECT window{};
    GetWindowRect(overlay->overlayWnd, &window);
    POINT destination{window.left, window.top};
    SIZE size{overlay->barWidth, overlay->barHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(overlay->overlayWnd, screen.Get(), &destination, &size, memory.Get(),
                        &source, 0, &blend, ULW_ALPHA);
}

} // namespace lumetta
