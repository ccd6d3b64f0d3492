#pragma once
// Reading the log that RecordLaunch.exe appends to: one line per launch, the argument count and then
// the arguments, TAB-separated, UTF-8, CR LF.

#include <windows.h>

#include <string>
#include <vector>

#include "base/Strings.h"

namespace record_launch {

// The arguments of one recorded launch (the count field is checked against them).
using Launch = std::vector<std::wstring>;

inline std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

// The complete lines of the log (a line still being written is left out). A line whose count does not
// match its fields comes back with a single field "<malformed>", so a test sees it and fails.
inline std::vector<Launch> ReadLaunches(const std::wstring& logFile)
{
    std::vector<Launch> launches;
    const std::string bytes = ReadFileBytes(logFile);
    std::size_t pos = 0;
    for (std::size_t end; (end = bytes.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        const std::wstring line = Utf8ToWide(std::string_view(bytes).substr(pos, end - pos));
        std::vector<std::wstring> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find(L'\t', start)) != std::wstring::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        Launch launch(fields.begin() + 1, fields.end());
        if (fields[0] != std::to_wstring(launch.size())) launch = {L"<malformed>"};
        launches.push_back(std::move(launch));
    }
    return launches;
}

// Waits until the log holds at least `count` launches or the time-out passes; returns what it holds.
inline std::vector<Launch> WaitForLaunches(const std::wstring& logFile, std::size_t count, DWORD timeoutMs = 10000)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        std::vector<Launch> launches = ReadLaunches(logFile);
        if (launches.size() >= count || ::GetTickCount64() >= deadline) return launches;
        ::Sleep(50);
    }
}

} // namespace record_launch
