#include "select/source_filter.h"

#include "select/constants.h"

namespace lumetta {

Point SelectionCenter(const Rect& rect) {
    // In 64 bits: the sum of two coordinates may not fit in 32; the half always does.
    return {int32_t((int64_t{rect.left} + rect.right) / 2),
            int32_t((int64_t{rect.top} + rect.bottom) / 2)};
}

std::wstring_view NameAsRead(const wchar_t* name) {
    if (!name) return {};
    size_t length = 0;
    while (length < SOURCE_NAME_BUFFER_CHARS - 1 && name[length] != L'\0')
        ++length;
    return {name, length};
}

bool IsExcludedSourceClass(const wchar_t* className) {
    const std::wstring_view name = NameAsRead(className);
    if (name.empty()) return false;
    for (const wchar_t* excluded : EXCLUDED_SOURCE_CLASSES) {
        if (name == excluded) return true;
    }
    return name.substr(0, EXCLUDED_SOURCE_CLASS_PREFIX_CHARS) == EXCLUDED_SOURCE_CLASS_PREFIX;
}

bool IsExcludedSourceTitle(const wchar_t* title) {
    const std::wstring_view name = NameAsRead(title);
    if (name.empty()) return false;
    for (const wchar_t* excluded : EXCLUDED_SOURCE_TITLES) {
        if (name == excluded) return true;
    }
    return false;
}

bool IsInvisibleLayer(bool attributesRead, bool constantAlphaOnly, uint8_t alpha) {
    if (!attributesRead) return true;
    return constantAlphaOnly && alpha == 0;
}

} // namespace lumetta
