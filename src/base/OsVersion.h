#pragma once
// Version-dependent behaviour is decided by these pure tests over an OS version value, so every
// branch can be tested on any machine.

enum class OsPlatform { Win9x = 1, Nt = 2 };

struct OsVersion {
    OsPlatform platform = OsPlatform::Nt;
    unsigned major = 0;
    unsigned minor = 0;
};

constexpr bool IsNtFamily(const OsVersion& v) { return v.platform == OsPlatform::Nt; }
constexpr bool IsNt5OrLater(const OsVersion& v) { return IsNtFamily(v) && v.major >= 5; }
// The XP class: NT 5.1 and 5.2.
constexpr bool IsXpClass(const OsVersion& v) { return IsNtFamily(v) && v.major == 5 && (v.minor == 1 || v.minor == 2); }
constexpr bool IsNt51OrLater(const OsVersion& v)
{
    return IsNtFamily(v) && (v.major >= 6 || (v.major == 5 && v.minor >= 1));
}
constexpr bool IsNt6Exactly(const OsVersion& v) { return IsNtFamily(v) && v.major == 6; }
constexpr bool IsNt6OrLater(const OsVersion& v) { return IsNtFamily(v) && v.major >= 6; }

// The running system's version (not subject to the compatibility shims of GetVersionEx).
OsVersion CurrentOsVersion();
