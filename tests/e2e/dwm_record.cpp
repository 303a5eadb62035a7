#include "dwm_record.h"

#include <sstream>

#include "fixtures.h"

namespace e2e {

std::vector<std::string> DwmRecord() {
    std::istringstream in(ReadWholeFile(Env(L"LUMETTA_DWM_LOG")).value_or(""));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> DwmCalls(std::string_view fn, DWORD pid, std::string_view key,
                                  std::string_view value) {
    std::vector<std::string> calls;
    for (std::string& line : DwmRecord())
        if (LineHas(line, "fn", fn) && (!pid || LineHas(line, "pid", std::to_string(pid))) &&
            (key.empty() || LineHas(line, key, value)))
            calls.push_back(std::move(line));
    return calls;
}

size_t RecordIndexOf(std::string_view fn, std::string_view key, std::string_view value) {
    const std::vector<std::string> record = DwmRecord();
    for (size_t i = 0; i < record.size(); ++i)
        if (LineHas(record[i], "fn", fn) && LineHas(record[i], key, value)) return i;
    return std::string::npos;
}

bool LineHas(std::string_view line, std::string_view key, std::string_view value) {
    const auto field = dwmrig::RecordField(line, key);
    return field && *field == value;
}

std::optional<RECT> LineRect(std::string_view line, std::string_view key) {
    const auto r = dwmrig::RecordRect(line, key);
    return r ? std::optional(RECT{r->left, r->top, r->right, r->bottom}) : std::nullopt;
}

std::vector<std::string> WaitDwmCalls(std::string_view fn, DWORD pid, std::string_view key,
                                      std::string_view value) {
    std::vector<std::string> calls;
    WaitUntil([&] { return !(calls = DwmCalls(fn, pid, key, value)).empty(); }, 2000);
    return calls;
}

std::string RegistrationOf(HWND preview, DWORD pid) {
    for (const std::string& line :
         WaitDwmCalls("DwmRegisterThumbnail", pid, "hwndDestination", HandleText(preview)))
        if (LineHas(line, "hr", "0x00000000")) return line;
    return {};
}

} // namespace e2e
