#include "update/BuildManifest.h"
#include "update/UpdateAddress.h"
#include "update/VersionOrder.h"

#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

TEST(VersionOrder, DigitRunsCompareByValueAndAProperPrefixComesFirst) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"1.10.0", "1.9.3", 1}, {"1.2", "1.2.0", -1},  {"1.2.0", "1.2", 1},
        {"1.2.0", "1.2.0", 0},  {"0.0.1", "0.0.0", 1}, {"1.02", "1.2", 0},
        {"2.0b", "2.0a", 1},    {"10", "9", 1},        {"123456789012345678901", "99", 1},
    };
    for (const auto& each : cases) {
        const int order = VersionOrder::compare(QString::fromLatin1(each.a), each.b);
        EXPECT_EQ((order > 0) - (order < 0), each.sign) << each.a << " vs " << each.b;
    }
}

TEST(BuildManifest, DecodesRequiredTextsAndOptionalOnesThatAreAbsentOrNull) {
    QString error;
    const auto full = BuildManifest::decode(
        R"({"version":"1.4.2","build":"57","commit":"a1b2","dmg":"https://x.example/B.tar",
            "sha256":"AB","notes":"New","date":null,"extra":3})",
        &error);
    ASSERT_TRUE(full) << error.toStdString();
    EXPECT_EQ(full->dmg, QUrl("https://x.example/B.tar"));
    EXPECT_EQ(full->sha256, "AB");
    EXPECT_EQ(full->notes, "New");
    EXPECT_FALSE(full->date);
    EXPECT_TRUE(BuildManifest::decode(
        R"({"version":"1","build":"1","commit":"c","dmg":"https://x/y"})", &error));

    const char* refused[] = {
        R"({"version":1.4,"build":"1","commit":"c","dmg":"https://x/y"})",
        R"({"version":"1","build":"1","dmg":"https://x/y"})",
        R"({"version":"1","build":"1","commit":"c","dmg":""})",
        R"({"version":"1","build":"1","commit":"c","dmg":"not an address"})",
        R"({"version":"1","build":"1","commit":"c","dmg":"https://x/y","notes":5})",
        R"(["version"])",
        R"({"version":"1","build":"1","commit":"c","dmg":"https://x/y"} trailing)",
    };
    for (const char* json : refused) {
        error.clear();
        EXPECT_FALSE(BuildManifest::decode(json, &error)) << json;
        EXPECT_FALSE(error.isEmpty()) << json;
    }
}

TEST(UpdateAddress, HttpsAnywherePlainHttpOnlyToThisMachine) {
    for (const char* allowed : {"https://updates.example.com/build.json", "http://127.0.0.1:8000/b",
                                "http://localhost/b", "http://[::1]:9/b", "http://127.8.0.1/b"})
        EXPECT_TRUE(UpdateAddress::isAllowed(QUrl(allowed))) << allowed;
    for (const char* refused : {"http://updates.example.com/build.json", "http://10.0.0.1/b",
                                "ftp://127.0.0.1/b", "file:///tmp/build.json", "https:///b", ""})
        EXPECT_FALSE(UpdateAddress::isAllowed(QUrl(refused))) << refused;
}

} // namespace
} // namespace Blinkwit
