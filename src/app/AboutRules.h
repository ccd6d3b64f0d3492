#pragma once
// What the About box says about the system it runs on. No Windows headers: pure rules.

#include <string>

#include "base/OsVersion.h"

// The program was built for 32 or 64 bits, and a 32-bit program may run on 64-bit Windows.
struct ProgramBuild {
    unsigned bits = 32;
    bool onWow64 = false;
};

// "Windows 6.1, 64-bit build"; a 32-bit build on 64-bit Windows says so: "Windows 6.1 (64-bit),
// 32-bit build".
std::wstring SystemLine(const OsVersion& version, const ProgramBuild& build);
