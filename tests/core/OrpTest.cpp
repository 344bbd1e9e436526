#include "core/ORP.h"

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
