#include "app/AboutRules.h"

std::wstring SystemLine(const OsVersion& version, const ProgramBuild& build)
{
    std::wstring line = L"Windows " + std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
    if (build.onWow64) line += L" (64-bit)";
    return line + L", " + std::to_wstring(build.bits) + L"-bit build";
}
