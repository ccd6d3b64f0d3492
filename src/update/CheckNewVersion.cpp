#include "update/CheckNewVersion.h"

#include <windows.h>

#include <vector>

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

UpdateAnswer CheckNewVersion(const std::wstring& programFile, const std::wstring& agent, const std::wstring& url,
                             TOrvoGetHttpText& http)
{
    const std::optional<FileVersion> own = ReadFileVersion(programFile);
    if (!own) return AnswerOfUnknownVersion();
    http.Agent = agent;
    http.Url = url;
    if (!http.Get()) return AnswerOfFailure(http.Failure(), http.SystemError());
    return AnswerOfResponse(*own, http.StatusCode(), http.TheText());
}
