#include "tray/TrayIdentity.h"

namespace {
constexpr std::uint32_t RotateLeft(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

// Our own namespace: entry icons of no other program can share an identity with ours.
constexpr Uuid kEntryIconSpace = {0xa8, 0x0c, 0xb6, 0x6c, 0xdd, 0xf1, 0x44, 0xd7,
                                  0xa9, 0xb5, 0xcf, 0x37, 0xbb, 0x2c, 0x9d, 0xde};

void AppendUtf16Le(std::string& out, const std::wstring& text)
{
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xff));
        out.push_back(static_cast<char>((c >> 8) & 0xff));
    }
}
} // namespace

std::array<std::uint8_t, 20> Sha1(std::string_view bytes)
{
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string message(bytes);
    const std::uint64_t bitLength = static_cast<std::uint64_t>(bytes.size()) * 8;
    message.push_back(static_cast<char>(0x80));
    while (message.size() % 64 != 56) message.push_back('\0');
    for (int shift = 56; shift >= 0; shift -= 8) message.push_back(static_cast<char>((bitLength >> shift) & 0xff));

    for (std::size_t block = 0; block < message.size(); block += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(message.data() + block + 4 * i);
            w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
        }
        for (int i = 16; i < 80; ++i) w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
            else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
            else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
            else { f = b ^ c ^ d; k = 0xCA62C1D6; }
            const std::uint32_t next = RotateLeft(a, 5) + f + e + k + w[i];
            e = d; d = c; c = RotateLeft(b, 30); b = a; a = next;
        }
        h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e;
    }
    std::array<std::uint8_t, 20> digest{};
    for (int i = 0; i < 20; ++i) digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

Uuid NameBasedUuid(const Uuid& space, std::string_view name)
{
    std::string input(space.begin(), space.end());
    input.append(name);
    const auto digest = Sha1(input);
    Uuid result{};
    for (std::size_t i = 0; i < result.size(); ++i) result[i] = digest[i];
    result[6] = static_cast<std::uint8_t>((result[6] & 0x0f) | 0x50); // version 5
    result[8] = static_cast<std::uint8_t>((result[8] & 0x3f) | 0x80); // the RFC 4122 variant
    return result;
}

Uuid EntryIconUuid(const std::wstring& programPathLower, const std::wstring& entryNameLower)
{
    // A character no path holds keeps "a\b" + "c" apart from "a" + "b\c".
    std::string name;
    AppendUtf16Le(name, programPathLower);
    AppendUtf16Le(name, L"|");
    AppendUtf16Le(name, entryNameLower);
    return NameBasedUuid(kEntryIconSpace, name);
}
