#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tray/TrayIdentity.h"

namespace {
std::string Hex(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    char digits[3];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        text += digits;
    }
    return text;
}

std::string Text(const Uuid& uuid)
{
    const std::string hex = Hex(uuid.data(), uuid.size());
    return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) + "-" +
           hex.substr(20);
}
} // namespace

TEST(TrayIdentityTest, Sha1MatchesKnownDigestsAcrossBlockBoundaries)
{
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {std::string(1000, 'a'), "291e9a6c66994949b57ba5e650361e98fc36b1ba"},
    };
    for (const auto& c : cases) {
        const auto digest = Sha1(c.input);
        EXPECT_EQ(Hex(digest.data(), digest.size()), c.digest) << c.input.size() << " bytes";
    }
}

TEST(TrayIdentityTest, EntryIdentitiesAreVersion5UuidsOfProgramAndEntry)
{
    // The DNS namespace example every implementation of version-5 UUIDs agrees on.
    const Uuid dns = {0x6b, 0xa7, 0xb8, 0x10, 0x9d, 0xad, 0x11, 0xd1, 0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8};
    EXPECT_EQ(Text(NameBasedUuid(dns, "python.org")), "886313e1-3b8a-5372-9b90-0c9aee199e5d");

    const struct {
        const wchar_t* program;
        const wchar_t* entry;
        const char* uuid;
    } cases[] = {
        {L"c:\\program files\\launcher\\launcher.exe", L"notepad.lnk", "20a5332e-70e1-5d61-a72d-877913636900"},
        // A copy of the program elsewhere, and non-ASCII names.
        {L"c:\\tools\\launcher.exe", L"notepad.lnk", "64f810e4-3bac-5206-b858-f27f16588a91"},
        {L"c:\\program files\\launcher\\launcher.exe", L"\u03ba\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1.lnk",
         "95f33f12-6173-5809-b585-b2248cd6c4b9"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(EntryIconUuid(c.program, c.entry)), c.uuid);
}
