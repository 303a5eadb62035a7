// The stand-in's thumbnails: a table of registrations, each drawn by the thread that registered
// it, from a thread timer, into its destination window's client area.
#pragma once

#include <windows.h>

#include <cstdint>

#include "types.h"

namespace dwmrig {

// A new registration drawn by the calling thread; 0 when the table is full.
uint64_t AddThumbnail(HWND destination, HWND source);

// False for an unknown handle. The destination loses the picture (it is invalidated, so its
// program repaints what was under it).
bool RemoveThumbnail(uint64_t id);

// False for an unknown handle. Keeps the flagged fields and draws at once.
bool UpdateThumbnail(uint64_t id, const ThumbProps& given);

// The source window and whether only its client area is used; false for an unknown handle.
bool ThumbnailSource(uint64_t id, HWND* source, bool* clientAreaOnly);

// Draws every thumbnail of the calling thread now.
void DrawThreadThumbnails();

// The calling thread ends: its thumbnails stop drawing (their timer died with it).
void ForgetThread(DWORD thread);

} // namespace dwmrig
