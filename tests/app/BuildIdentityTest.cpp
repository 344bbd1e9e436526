#include "app/BuildInfo.h"
#include "app/InstallLocation.h"

#include <QMap>
#include <gtest/gtest.h>
#include <tuple>

namespace Blinkwit {
namespace {

using Entries = QMap<QString, QString>;

BuildInfo::InfoLookup lookup(const Entries& entries) {
    return [entries](const QString& key) -> std::optional<QString> {
        if (!entries.contains(key))
            return std::nullopt;
        return entries.value(key);
    };
}

TEST(BuildInfoTest, DisplayStringShowsVersionBuildAndAShortCommitWhenThereIsOne) {
    const Entries release{{"CFBundleShortVersionString", "1.4.2"}, {"CFBundleVersion", "57"}};
    for (const auto& [commit, expected] : {std::pair{"a1b2c3d4e5f60718", "1.4.2 (57) · a1b2c3d"},
                                           {"abc", "1.4.2 (57) · abc"},
                                           {"unknown", "1.4.2 (57)"},
                                           {"", "1.4.2 (57)"}}) {
        Entries entries = release;
        entries.insert(BuildInfo::commitKey, QString::fromLatin1(commit));
        EXPECT_EQ(BuildInfo::displayString(lookup(entries)), QString::fromUtf8(expected));
    }
    EXPECT_EQ(BuildInfo::commit(lookup({{BuildInfo::commitKey, "unknown"}})), std::nullopt);
    EXPECT_EQ(BuildInfo::displayString(lookup({})), QStringLiteral("0.0.0 (0)"));
}

TEST(BuildInfoTest, OutsideABundleTheCompiledInIdentityAnswers) {
    // The test program runs from the build tree.
    EXPECT_EQ(BuildInfo::string(BuildInfo::identifierKey), QStringLiteral("com.blinkwit.app"));
    EXPECT_EQ(BuildInfo::string(BuildInfo::versionKey),
              BuildInfo::compiledIn(BuildInfo::versionKey));
    EXPECT_FALSE(BuildInfo::string(QStringLiteral("BlinkwitPublicKey")));
    EXPECT_EQ(BuildInfo::manifestURL().scheme(), QStringLiteral("https"));
    EXPECT_EQ(BuildInfo::manifestURL().path(), QStringLiteral("/build.json"));
}

TEST(InstallLocationTest, TemporaryFoldersAndMountedVolumesAreNotInstalled) {
    using enum InstallLocation;
    const QString home = QStringLiteral("/home/ann");
    for (const auto& [path, expected] : {
             std::pair{"/tmp/Blinkwit.app", translocated},
             {"/tmp/.mount_Blink1/Blinkwit.app", translocated},
             {"/media/ann/USB/Blinkwit.app", diskImage},
             {"/run/media/ann/USB/Blinkwit.app", diskImage},
             {"/mnt/Blinkwit.app", diskImage},
             {"/home/ann/Applications/Blinkwit.app", inApplications},
             {"/Applications/Blinkwit.app", inApplications},
             {"/opt/Blinkwit.app", inApplications},
             {"/home/ann/Desktop/Blinkwit.app", elsewhere},
             {"/tmpfiles/Blinkwit.app", elsewhere},
             {"/home/ann/ApplicationsOld/Blinkwit.app", elsewhere},
             {"/home/ann/../ann/Applications/Blinkwit.app", inApplications},
         })
        EXPECT_EQ(InstallLocationRules::classify(QString::fromLatin1(path), "/tmp", home), expected)
            << path;
    // A temporary folder that is a mounted volume still counts as temporary.
    EXPECT_EQ(InstallLocationRules::classify(QStringLiteral("/mnt/scratch/x/Blinkwit.app"),
                                             "/mnt/scratch", home),
              translocated);
    EXPECT_EQ(InstallLocationRules::classify(std::nullopt, "/tmp", home), elsewhere)
        << "a build tree, wherever it lies";
    EXPECT_EQ(InstallLocationRules::classify(QStringLiteral("/x/Blinkwit.app"), "", home),
              elsewhere);
    EXPECT_FALSE(InstallLocationRules::isInstalled(diskImage));
    EXPECT_FALSE(InstallLocationRules::isInstalled(translocated));
    EXPECT_TRUE(InstallLocationRules::isInstalled(elsewhere));
}

} // namespace
} // namespace Blinkwit
