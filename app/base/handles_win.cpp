#include "app/base/handles_win.h"

#include <iterator>
#include <string>

namespace lumetta {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, static_cast<UINT>(std::size(folder)));
    if (length == 0 || length >= std::size(folder)) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += fileName;
    return LoadLibraryW(path.c_str());
}

} // namespace lumetta
