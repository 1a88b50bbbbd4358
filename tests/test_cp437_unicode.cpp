// Code page 437 to Unicode, and its UTF-8 form.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "vantrel/cp437_unicode.h"

using namespace vantrel;

namespace {

TEST(Cp437Unicode, KnownCodes) {
    EXPECT_EQ(cp437Unicode[0], U' ');
    EXPECT_EQ(cp437Unicode[1], U'\u263A');   // ☺
    EXPECT_EQ(cp437Unicode[3], U'\u2665');   // ♥
    EXPECT_EQ(cp437Unicode[7], U'\u2022');   // •
    EXPECT_EQ(cp437Unicode[13], U'\u266A');  // ♪
    EXPECT_EQ(cp437Unicode[21], U'\u00A7');  // §
    EXPECT_EQ(cp437Unicode[31], U'\u25BC');  // ▼
    EXPECT_EQ(cp437Unicode[127], U'\u2302');  // ⌂
    EXPECT_EQ(cp437Unicode[128], U'\u00C7');  // Ç
    EXPECT_EQ(cp437Unicode[158], U'\u20A7');  // ₧
    EXPECT_EQ(cp437Unicode[176], U'\u2591');  // ░
    EXPECT_EQ(cp437Unicode[179], U'\u2502');  // │
    EXPECT_EQ(cp437Unicode[196], U'\u2500');  // ─
    EXPECT_EQ(cp437Unicode[219], U'\u2588');  // █
    EXPECT_EQ(cp437Unicode[224], U'\u03B1');  // α
    EXPECT_EQ(cp437Unicode[230], U'\u00B5');  // µ
    EXPECT_EQ(cp437Unicode[250], U'\u00B7');  // ·
    EXPECT_EQ(cp437Unicode[254], U'\u25A0');  // ■
    EXPECT_EQ(cp437Unicode[255], U' ');
    for (int c = 32; c < 127; ++c) EXPECT_EQ(cp437Unicode[c], static_cast<char32_t>(c)) << c;
}

TEST(Cp437Unicode, DistinctPrintableCodePointsExceptTheThreeSpaces) {
    std::set<char32_t> seen;
    for (int c = 0; c < 256; ++c) {
        const char32_t u = cp437Unicode[c];
        const bool space = c == 0 || c == 32 || c == 255;
        EXPECT_EQ(u == U' ', space) << "code " << c;
        EXPECT_FALSE(u < 0x20 || (u >= 0x7F && u < 0xA0)) << "control character for code " << c;
        if (!space) { EXPECT_TRUE(seen.insert(u).second) << "code " << c << " repeats a code point"; }
    }
    EXPECT_EQ(seen.size(), 253u);
}

// Decodes one UTF-8 sequence of 1 to 3 bytes; returns 0xFFFFFFFF when malformed.
char32_t decode(const std::string& s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (s.size() == 1 && b(0) < 0x80) return b(0);
    if (s.size() == 2 && (b(0) & 0xE0) == 0xC0 && (b(1) & 0xC0) == 0x80) {
        const char32_t u = ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
        return u >= 0x80 ? u : 0xFFFFFFFF;
    }
    if (s.size() == 3 && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 && (b(2) & 0xC0) == 0x80) {
        const char32_t u = ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
        return u >= 0x800 ? u : 0xFFFFFFFF;
    }
    return 0xFFFFFFFF;
}

TEST(Cp437Utf8, EveryCodeEncodesToItsCodePointInShortestForm) {
    for (int c = 0; c < 256; ++c) {
        char buffer[8];
        std::size_t length = 0;
        ASSERT_TRUE(appendCp437Utf8(static_cast<std::uint8_t>(c), buffer, sizeof buffer, length));
        ASSERT_LE(length, cp437Utf8MaxBytes);
        EXPECT_EQ(decode(std::string(buffer, length)), cp437Unicode[c]) << "code " << c;
    }
}

TEST(Cp437Utf8, AppendsAfterWhatIsThereAndRefusesWhatDoesNotFit) {
    char buffer[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    std::size_t length = 0;
    EXPECT_TRUE(appendCp437Utf8('A', buffer, sizeof buffer, length));
    EXPECT_TRUE(appendCp437Utf8(130, buffer, sizeof buffer, length));  // é: C3 A9
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(std::string(buffer, 3), "A\xC3\xA9");
    // ☺ needs three bytes: three free fit exactly, two do not.
    std::size_t full = 4;
    EXPECT_FALSE(appendCp437Utf8(1, buffer, sizeof buffer, full));
    EXPECT_EQ(full, 4u);
    EXPECT_EQ(buffer[4], 'x');
    EXPECT_TRUE(appendCp437Utf8(1, buffer, sizeof buffer, length));
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(std::string(buffer + 3, 3), "\xE2\x98\xBA");
    // A length already past the capacity is refused, not wrapped around.
    std::size_t past = 9;
    EXPECT_FALSE(appendCp437Utf8('A', buffer, sizeof buffer, past));
    EXPECT_EQ(past, 9u);
}

}  // namespace
