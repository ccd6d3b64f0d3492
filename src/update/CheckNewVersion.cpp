#include "update/CheckNewVersion.h"

#include <windows.h>

#include <vector>

namespace {
constexpr unsigned kHttpOk = 200;
}

std::optional<FileVersion> ReadFileVersion(const std::wstring& programFile)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(programFile.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> data(size);
    if (!::GetFileVersionInfoW(programFile.c_str(), 0, size, data.data())) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                       LOWORD(info->dwFileVersionLS)};
}

bool CheckNewVersion(const std::wstring& programFile, const std::wstring& agent, const std::wstring& url,
                     std::wstring& versionText, TOrvoGetHttpText& http)
{
    const std::optional<FileVersion> own = ReadFileVersion(programFile);
    if (!own) return false;
    http.Agent = agent;
    http.Url = url;
    if (!http.Get() || http.StatusCode() != kHttpOk) return false;
    const std::optional<std::wstring> newer = NewerVersionText(*own, http.TheText());
    if (!newer) return false;
    versionText = *newer;
    return true;
}
