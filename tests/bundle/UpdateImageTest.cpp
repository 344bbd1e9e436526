#include "bundle/UpdateImage.h"

#include "ReleaseKit.h"
#include "bundle/ImageUnpacker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace Blinkwit {
namespace {

using Testing::TarMember;
using Type = TarMember::Type;

class UpdateImageTest : public ::testing::Test {
protected:
    // Assesses an image file with these bytes; the problem, or "" when accepted.
    QString assess(const QByteArray& bytes) {
        Testing::writeFile(dir.filePath("image.tar"), bytes);
        image = std::make_unique<UpdateImage>(dir.filePath("image.tar"));
        return image->assess().value_or(QString());
    }
    QString unpack(const QList<TarMember>& members, ImageUnpacker::Limits limits = {}) {
        return ImageUnpacker(limits)
            .unpack(Testing::compressedTar(members), dir.filePath("out"))
            .value_or(QString());
    }
    static int mode(const QString& path) {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0
                   ? int(status.st_mode & 07777)
                   : -1;
    }
    QStringList unpacked() const {
        QStringList entries;
        QDirIterator it(dir.filePath("out"),
                        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            entries.append(QDir(dir.filePath("out")).relativeFilePath(it.next()));
        entries.sort();
        return entries;
    }

    QTemporaryDir dir;
    Testing::TestSigner signer;
    std::unique_ptr<UpdateImage> image;
};

TEST_F(UpdateImageTest, AcceptsOnlyTheTwoMembersWithASignatureThatHolds) {
    const QByteArray archive =
        Testing::compressedTar({{"Blinkwit.app/Info.json", Type::file, "{}"}});
    const QByteArray good = Testing::updateImage(archive, signer);
    EXPECT_EQ(assess(good), "");
    EXPECT_EQ(image->signer(), signer.signerId());
    EXPECT_EQ(image->archive(), archive);

    QByteArray flipped = good;
    const qsizetype inArchive = good.indexOf(archive) + archive.size() / 2;
    flipped[inArchive] = char(flipped[inArchive] ^ 1);
    EXPECT_EQ(assess(flipped), "the signature doesn't match the image's contents");
    EXPECT_EQ(assess(good.left(good.size() / 2)), "the file is not an update image");
    EXPECT_EQ(assess(good + QByteArray(512, 'x')), "the image has data after its end");
    EXPECT_EQ(assess("plain text, not an image"), "the file is not an update image");

    QByteArray extra = Testing::updateImage(archive, signer);
    extra.replace("Blinkwit.tar.xz.sig", "Blinkwit.tar.xz.sag");
    EXPECT_NE(assess(extra), "");

    QFile huge(dir.filePath("image.tar"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(UpdateImage::maximumSize + 1));
    huge.close();
    EXPECT_EQ(UpdateImage(huge.fileName()).assess(), "the image is larger than 256 MiB");
}

TEST_F(UpdateImageTest, UnpacksFilesFoldersAndInnerLinksReadOnly) {
    EXPECT_EQ(unpack({{"./Blinkwit.app/", Type::folder, {}, 0700},
                      {"Blinkwit.app/bin/blinkwit", Type::file, "program", 0755},
                      {"Blinkwit.app/Info.json", Type::file, "{}", 0666},
                      {"Blinkwit.app/current", Type::link, {}, 0777, "bin/../Info.json"}}),
              "");
    EXPECT_EQ(unpacked(), (QStringList{"Blinkwit.app", "Blinkwit.app/Info.json", "Blinkwit.app/bin",
                                       "Blinkwit.app/bin/blinkwit", "Blinkwit.app/current"}));
    const QString app = dir.filePath("out/Blinkwit.app");
    EXPECT_EQ(mode(app + "/bin/blinkwit"), 0555);
    EXPECT_EQ(mode(app + "/Info.json"), 0444);
    EXPECT_EQ(mode(app), 0755);
    EXPECT_EQ(unpack({{"x", Type::file, "y"}}), dir.filePath("out") + " is not empty");
}

TEST_F(UpdateImageTest, RefusesWhatCouldWriteOutsideOrFillTheDiskAndLeavesNothing) {
    const QByteArray big(1000, 'x');
    const struct {
        QList<TarMember> members;
        ImageUnpacker::Limits limits;
        QString problem;
    } cases[] = {
        {{{"/etc/evil", Type::file, "x"}}, {}, "/etc/evil: the path leaves the destination"},
        {{{"a/../../evil", Type::file, "x"}}, {}, "a/../../evil: the path leaves the destination"},
        {{{"a/link", Type::link, {}, 0777, "../../etc"}},
         {},
         "a/link: the link points outside the destination"},
        {{{"a/link", Type::link, {}, 0777, "/etc"}},
         {},
         "a/link: the link points outside the destination"},
        {{{"a/link", Type::link, {}, 0777, "."}, {"a/link/file", Type::file, "x"}},
         {},
         "a/link/file: the path passes through a link"},
        {{{"a", Type::file, "x"}, {"b", Type::hardLink, {}, 0644, "a"}},
         {},
         "b: hard links are not allowed"},
        {{{"dev/null", Type::device}},
         {},
         "dev/null: devices and other special files are not allowed"},
        {{{"a", Type::file, "x"}, {"a", Type::file, "y"}}, {}, "a: the archive holds it twice"},
        {{{"a", Type::file, big}, {"b", Type::file, big}},
         {1500, 10},
         "the bundle archive unpacks to more than 0 MiB"},
        {{{"a", Type::file}, {"b", Type::file}, {"c", Type::file}},
         {1000, 2},
         "the bundle archive has more than 2 entries"},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(unpack(each.members, each.limits), each.problem);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("out"))) << each.problem.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("evil")));
    }
    EXPECT_TRUE(ImageUnpacker()
                    .unpack("not xz at all", dir.filePath("out"))
                    .value_or("")
                    .startsWith("the bundle archive"));
}

} // namespace
} // namespace Blinkwit
