// The rules by which the search for the window under a selection passes over windows that a user
// would not take for it: the point it looks at, the names of overlay windows, invisible layers.
// Pure header.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/base/geometry.h"

namespace lumetta {

// The centre of the selected rectangle; each halving truncates toward zero.
Point SelectionCenter(const Rect& rect);

// A class name or title as the search reads it: at most the first SOURCE_NAME_BUFFER_CHARS - 1
// characters. Null reads as empty.
std::wstring_view NameAsRead(const wchar_t* name);

// Whether a window's class name or title marks it as never a source: a listed class (exact and
// case-sensitive), a class beginning with the fading-window prefix, or a listed title. Both are
// compared as read; an empty name matches nothing.
bool IsExcludedSourceClass(const wchar_t* className);
bool IsExcludedSourceTitle(const wchar_t* title);

// An owned layered window that shows nothing: its layered attributes cannot be read (it draws
// with per-pixel alpha) or it is made fully transparent by constant alpha alone (its layered
// flags are LWA_ALPHA and nothing else).
bool IsInvisibleLayer(bool attributesRead, bool constantAlphaOnly, uint8_t alpha);

} // namespace lumetta
