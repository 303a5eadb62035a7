#include "bench_support_win.h"

#include <algorithm>
#include <cstdio>

#include "app/base/handles_win.h"

namespace bench {

WindowPicture PictureOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    WindowPicture picture{rect.right - rect.left, rect.bottom - rect.top, {}};
    // 32 bits a pixel, rows top-down.
    BITMAPINFO info{
        {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
        {}};
    void* bits = nullptr;
    const HDC source = GetWindowDC(window);
    const lumetta::OwnedMemoryDc memory(CreateCompatibleDC(source));
    const lumetta::OwnedBitmap bitmap(
        CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) {
        const lumetta::SelectionGuard selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < size_t(picture.width) * size_t(picture.height); ++i)
            picture.pixels.push_back(first[i] & 0xFFFFFF);
    }
    ReleaseDC(window, source);
    return picture;
}

namespace {

std::string ReadSmallFile(const std::wstring& path) {
    const lumetta::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return {};
    std::string text(4096, '\0');
    DWORD read = 0;
    ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

} // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ProcessCpuMs(const std::string& exe) {
    double ticks = 0;
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::wstring dir = L"Z:\\proc\\" + name + L"\\";
        if (ReadSmallFile(dir + L"cmdline").rfind(exe, 0) != 0) continue;
        // Fields 14 and 15 of stat, after the parenthesised command name.
        const std::string stat = ReadSmallFile(dir + L"stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        unsigned long long utime = 0, stime = 0;
        if (std::sscanf(stat.c_str() + close + 1,
                        " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                        &stime) == 2) {
            ticks += static_cast<double>(utime + stime);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    constexpr double kMsPerTick = 10.0; // USER_HZ is 100 on Linux
    return ticks * kMsPerTick;
}

e2e::GuiCounts SteadyCounts(DWORD pid) {
    std::vector<double> gdi, user, memory;
    for (int i = 0; i < 5; ++i) {
        const e2e::GuiCounts c = e2e::ProcessCounts(pid);
        gdi.push_back(c.gdi);
        user.push_back(c.user);
        memory.push_back(static_cast<double>(c.privateBytes));
        Sleep(50); // spaced samples on purpose; nothing is waited for
    }
    e2e::GuiCounts median;
    median.gdi = static_cast<DWORD>(Median(gdi));
    median.user = static_cast<DWORD>(Median(user));
    median.privateBytes = static_cast<SIZE_T>(Median(memory));
    return median;
}

RecordTail::RecordTail() : path_(e2e::Env(L"LUMETTA_DWM_LOG")) {
    offset_ = Size();
}

bool RecordTail::Has(const char* fn) const {
    const lumetta::OwnedHandle file(CreateFileW(path_.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at{};
    at.QuadPart = offset_;
    SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN);
    std::string text(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text.find(std::string("\"fn\":\"") + fn + "\"") != std::string::npos;
}

LONGLONG RecordTail::Size() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void PrintCounts(const char* what, const e2e::GuiCounts& before, const e2e::GuiCounts& after) {
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("  %s: GDI objects %lu -> %lu (x%.2f), windows %lu -> %lu (x%.2f), working set "
                "%.0f -> %.0f KiB (x%.3f)\n",
                what, before.gdi, after.gdi, ratio(after.gdi, before.gdi), before.user, after.user,
                ratio(after.user, before.user), before.privateBytes / 1024.0,
                after.privateBytes / 1024.0,
                ratio(double(after.privateBytes), double(before.privateBytes)));
}

} // namespace bench
