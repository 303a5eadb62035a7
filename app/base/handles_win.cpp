#include "app/base/handles_win.h"

#include <cwchar>
#include <iterator>

namespace lumetta {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    // A plain buffer: one std::wstring brings the string library and its exception machinery
    // into the program, most of its size.
    wchar_t path[2 * MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const size_t nameLength = wcslen(fileName);
    if (length + 1 + nameLength >= std::size(path)) return nullptr;
    path[length] = L'\\';
    wmemcpy(path + length + 1, fileName, nameLength + 1);
    return LoadLibraryW(path);
}

} // namespace lumetta
