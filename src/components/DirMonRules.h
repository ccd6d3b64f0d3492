#pragma once
// The directory monitor's pure rules: the change kinds and their notify-filter bits, and the
// path form handed to the change-notification call. No Windows headers.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

enum class TDirMonType { dmcFileName, dmcDirName, dmcAttributes, dmcSize, dmcLastWrite, dmcSecurity };

// A set of change kinds.
class TDirMonTypes {
public:
    constexpr TDirMonTypes() = default;
    constexpr TDirMonTypes(std::initializer_list<TDirMonType> members)
    {
        for (TDirMonType member : members) Include(member);
    }

    constexpr bool Contains(TDirMonType member) const { return (m_bits & Bit(member)) != 0; }
    constexpr TDirMonTypes& Include(TDirMonType member)
    {
        m_bits |= Bit(member);
        return *this;
    }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr bool operator==(const TDirMonTypes&) const = default;

private:
    static constexpr std::uint32_t Bit(TDirMonType member) { return 1u << static_cast<unsigned>(member); }
    std::uint32_t m_bits = 0;
};

// The notify-filter flag of each change kind, in declaration order. The security kind is the
// system's 0x100 flag: the 0x020 bit between them is not a change kind of the directory call.
inline constexpr std::uint32_t kDirMonTypeFlags[] = {0x001, 0x002, 0x004, 0x008, 0x010, 0x100};
inline constexpr TDirMonType kAllDirMonTypes[] = {TDirMonType::dmcFileName,   TDirMonType::dmcDirName,
                                                  TDirMonType::dmcAttributes, TDirMonType::dmcSize,
                                                  TDirMonType::dmcLastWrite,  TDirMonType::dmcSecurity};

constexpr std::uint32_t NotifyMaskFromTypes(TDirMonTypes types)
{
    std::uint32_t mask = 0;
    for (TDirMonType member : kAllDirMonTypes)
        if (types.Contains(member)) mask |= kDirMonTypeFlags[static_cast<unsigned>(member)];
    return mask;
}

// Bits that stand for no change kind are ignored.
constexpr TDirMonTypes TypesFromNotifyMask(std::uint32_t mask)
{
    TDirMonTypes types;
    for (TDirMonType member : kAllDirMonTypes)
        if (mask & kDirMonTypeFlags[static_cast<unsigned>(member)]) types.Include(member);
    return types;
}

// Full paths this long or longer are beyond the plain form of the directory calls (MAX_PATH less
// the room the system keeps for an 8.3 file name), so they are passed in the extended "\\?\" form.
inline constexpr std::size_t kPlainDirectoryPathLimit = 248;

// The form of an absolute path that the directory calls accept at any length: "C:\x" becomes
// "\\?\C:\x" and "\\server\share\x" becomes "\\?\UNC\server\share\x". The extended form skips the
// system's normalisation, so forward slashes are turned into backslashes here. Short paths,
// relative paths and paths already in a "\\?\" or "\\.\" form are returned unchanged.
std::wstring ExtendedLengthPath(std::wstring_view fullPath);
