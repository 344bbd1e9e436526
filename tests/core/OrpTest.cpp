#include "core/ORP.h"

#include "core/UnicodeText.h"

#include <gtest/gtest.h>
#include <string>

using BlinkwitCore::ORP;

TEST(ORP, PositionGrowsWithLengthAndStopsAtFour) {
    EXPECT_EQ(ORP::index(""), 0);
    EXPECT_EQ(ORP::index("a"), 0);
    EXPECT_EQ(ORP::index("ab"), 1);
    EXPECT_EQ(ORP::index("hello"), 1);
    EXPECT_EQ(ORP::index("reader"), 2);
    EXPECT_EQ(ORP::index("something"), 2);
    EXPECT_EQ(ORP::index("characters"), 3);
    EXPECT_EQ(ORP::index("international"), 3);
    EXPECT_EQ(ORP::index("extraordinarily"), 4);
    EXPECT_EQ(ORP::index(std::string(40, 'x')), 4);
    EXPECT_EQ(ORP::index("(hello,"), 2);
}

TEST(ORP, CountsUserPerceivedCharacters) {
    // e + combining acute is one character; so is a family emoji joined by ZWJ.
    EXPECT_EQ(ORP::index("e\u0301"), 0);
    EXPECT_EQ(ORP::index("\U0001F468\u200D\U0001F469\u200D\U0001F467"), 0);
    EXPECT_EQ(ORP::index("cafe\u0301s"), 1);  // 5 characters
    EXPECT_EQ(ORP::index("cafe\u0301s!"), 2); // 6 characters
    EXPECT_EQ(ORP::index("\r\n"), 0);         // CR LF is one cluster
}

TEST(ORP, InvalidUtf8CountsEachBadSequenceOnce) {
    EXPECT_EQ(ORP::index("\xff"), 0);
    EXPECT_EQ(ORP::index("ab\xff\xfe"), 1);
}

TEST(UnicodeText, LeadingCharactersCutBetweenUserPerceivedCharacters) {
    using BlinkwitCore::UnicodeText::leadingCharacters;
    EXPECT_EQ(leadingCharacters("hello", 3), 3u);
    EXPECT_EQ(leadingCharacters("hi", 3), 2u);
    EXPECT_EQ(leadingCharacters("abe\u0301x", 3), 5u) << "the accent stays on its letter";
    EXPECT_EQ(leadingCharacters("a\r\nb", 2), 3u) << "CR LF is one character";
    EXPECT_EQ(leadingCharacters("\U0001F468\u200D\U0001F469 ok", 1), 11u);
    EXPECT_EQ(leadingCharacters("\xff\xfe"
                                "ab",
                                2),
              2u)
        << "each ill-formed byte is one";
    // A character of more marks than the stretch read is cut between code points.
    std::string pile = "e";
    for (int i = 0; i < 500; ++i)
        pile += "\u0301";
    const std::size_t cut = leadingCharacters(pile, 2);
    EXPECT_GT(cut, 1u);
    EXPECT_LT(cut, pile.size());
    EXPECT_NE(static_cast<unsigned char>(pile[cut]) & 0xC0, 0x80) << "not inside a code point";
}
