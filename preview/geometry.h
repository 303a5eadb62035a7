// The arithmetic of a preview window: its frame at a DPI, the sizes it may be tracked to, where it
// opens over its source, its custom frame's client area, and the mapping of its state onto the
// DWM thumbnail. Pure: the Win32 glue reads the system, calls these and applies the result.
#pragma once

#include <cstdint>
#include <optional>

#include "app/base/geometry.h"

namespace lumetta {

// Width the overlay's button bar needs at dpi: three buttons with their gaps and margins.
int32_t OverlayMinWidth(uint32_t dpi);

struct FrameMetrics {
    int32_t frameWidth = 0;  // window width minus client width
    int32_t frameHeight = 0; // window height minus client height
    Rect resizeBorder{};     // sizing border at each edge on the custom frame; empty otherwise
};

// The frame of a preview from the system's adjustment of a FRAME_PROBE_SIZE square
// (adjustedProbe) and of an empty rectangle (adjustedEmpty) at the preview's DPI. The custom
// frame (Windows 10 and later) replaces the top border with its 1-pixel edge, which stays part of
// the frame height so that the client area is exactly the size asked for.
FrameMetrics ComputeFrameMetrics(const Rect& adjustedProbe, const Rect& adjustedEmpty,
                                 bool customFrame);

struct TrackSizes {
    Point minTrackSize{};
    Point maxTrackSize{};
};

// Smallest and largest window sizes: at most the source's whole client area at zoom, at least a
// client area of 100 × 100 at 96 DPI (wide enough for the overlay) unless the region is smaller.
TrackSizes ComputeTrackSizes(int32_t frameWidth, int32_t frameHeight, const Rect& sourceClientRect,
                             const Rect& sourceRect, int32_t zoom, uint32_t dpi);

// The minimum track size handed to the system: never above the maximum.
Point MinTrackSizeWithinMax(const Point& minTrackSize, const Point& maxTrackSize);

// The client area of the custom frame inside the proposed window rectangle: a 1-pixel edge at
// the top and the resize border at the other edges.
Rect CustomFrameClientRect(const Rect& proposedWindow, const Rect& resizeBorder);

struct PreviewPlacement {
    Point origin{}; // the window's top-left corner in the source's client coordinates
    int32_t width = 0;
    int32_t height = 0;
};

// Where a new preview's window goes so that its client area lies over sourceRect (source client
// coordinates).
PreviewPlacement PlacePreview(const Rect& sourceRect, const FrameMetrics& frame, bool customFrame);

// What a thumbnail update starts from.
struct ThumbnailInput {
    Rect sourceClientRect{}; // the source's client area, origin (0, 0)
    Rect sourceRect{};       // the region shown, source client coordinates
    int32_t zoom = 100;
    bool maximized = false;
    std::optional<Rect> previewClientRect; // read only when maximized; none when unreadable
    bool sourceIsShell = false;            // the source is the shell's desktop window
    Point virtualScreenOrigin{};
};

struct ThumbnailMapping {
    // sourceRect clipped to sourceClientRect, when they overlap; the preview keeps it.
    std::optional<Rect> clippedSourceRect;
    bool mapped = false; // false: a rectangle is empty, the thumbnail must go
    Rect destination{};  // rcDestination, the preview's client coordinates
    Rect source{};       // rcSource, the source's client coordinates
};

// The thumbnail's rectangles. Normal: the source's whole client area at zoom, shifted so that
// sourceRect's top-left lands on the preview's client origin. Maximized: sourceRect alone, as large
// as the client area allows at its own aspect ratio, centred. A desktop source is shifted by the
// virtual screen's origin.
ThumbnailMapping MapThumbnail(const ThumbnailInput& input);

} // namespace lumetta
