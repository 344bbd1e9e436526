#include "platform/InputText.h"

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace Blinkwit {
namespace {

class InputTextTest : public ::testing::Test {
protected:
    std::string write(const char* name, const std::string& bytes) const {
        const std::string path = dir_.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Reads standard input after pointing it at a pipe that holds bytes.
    std::optional<std::string> readPiped(const std::string& bytes, std::size_t limit) {
        int pipeEnds[2];
        EXPECT_EQ(::pipe(pipeEnds), 0);
        EXPECT_EQ(::write(pipeEnds[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(pipeEnds[1]);
        const int savedInput = ::dup(STDIN_FILENO);
        ::dup2(pipeEnds[0], STDIN_FILENO);
        ::close(pipeEnds[0]);
        auto text = InputText::read("-", error, limit);
        ::dup2(savedInput, STDIN_FILENO);
        ::close(savedInput);
        return text;
    }

    QTemporaryDir dir_;
    std::string error;
};

TEST_F(InputTextTest, ReadsUpToTheLimitFromFilesAndPipesAndNotAByteMore) {
    const std::string eight = write("eight", "12345678");
    EXPECT_EQ(InputText::read(eight, error, 8), "12345678");
    EXPECT_EQ(InputText::read(eight, error, 7), std::nullopt);
    EXPECT_EQ(error, "cannot read '" + eight + "': longer than 7 bytes, the most blinkwit reads");
    EXPECT_EQ(InputText::read(write("empty", ""), error, 8), "");

    const std::string big(3 << 20, 'a');
    EXPECT_EQ(readPiped("12345678", 8), "12345678");
    EXPECT_EQ(readPiped(std::string(60000, 'b'), 1 << 20)->size(), 60000u);
    EXPECT_EQ(readPiped(std::string(60000, 'b'), 59999), std::nullopt);
    EXPECT_EQ(error,
              "cannot read standard input: longer than 59999 bytes, the most blinkwit reads");
    // A device that never ends is cut off at the limit.
    EXPECT_EQ(InputText::read("/dev/zero", error, std::size_t(2) << 20), std::nullopt);
    EXPECT_EQ(error, "cannot read '/dev/zero': longer than 2 MiB, the most blinkwit reads");
    EXPECT_EQ(InputText::read(write("big", big), error, std::size_t(4) << 20)->size(), big.size());
}

TEST_F(InputTextTest, SaysWhatIsWrongWithANameThatIsNoFile) {
    const std::string folder = dir_.path().toStdString();
    for (const auto& [path, message] :
         {std::pair<std::string, std::string>{"", "cannot read '': the file name is empty"},
          {folder, "cannot read '" + folder + "': is a directory"},
          {folder + "/none", "cannot read '" + folder + "/none': No such file or directory"}}) {
        EXPECT_EQ(InputText::read(path, error), std::nullopt) << path;
        EXPECT_EQ(error, message);
    }
}

} // namespace
} // namespace Blinkwit
