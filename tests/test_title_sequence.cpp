#include <gtest/gtest.h>

#include <string>

#include "terminal/title_sequence.h"

using namespace vantrel;

namespace {

std::string title(std::string_view text, std::size_t capacity) {
    std::string out(capacity, '?');
    out.resize(writeTitleSequence(text, out.data(), capacity));
    return out;
}

TEST(TitleSequence, DropsControlsAndNeverCutsACharacterInTwo) {
    EXPECT_EQ(title("Lines", 64), "\x1b]2;Lines\x1b\\");
    // A terminator or bell inside the title cannot end the sequence early.
    EXPECT_EQ(title("a\x1b\\b\x07" "c\x7f", 64), "\x1b]2;a\\bc\x1b\\");
    // A complete last character is kept, multi-byte or not.
    EXPECT_EQ(title("\xc3\xa9", 64), "\x1b]2;\xc3\xa9\x1b\\");
    // Room for 4 title bytes (capacity 4 + 4 + 2): "ab" and the 2-byte é fit,
    // the 3-byte ☺ would be cut after one byte and goes whole.
    EXPECT_EQ(title("ab\xc3\xa9\xe2\x98\xba", 10), "\x1b]2;ab\xc3\xa9\x1b\\");
    // Cut exactly after a whole multi-byte character: it stays.
    EXPECT_EQ(title("a\xe2\x98\xba" "bcd", 10), "\x1b]2;a\xe2\x98\xba\x1b\\");
    EXPECT_EQ(title("ab\xc3\xa9xyz", 10), "\x1b]2;ab\xc3\xa9\x1b\\");
}

}  // namespace
