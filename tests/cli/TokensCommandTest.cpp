// Runs the real blinkwit binary, as a shell pipeline would.
#include "app/JsonText.h"
#include "core/ORP.h"
#include "core/TextPreprocessor.h"
#include "core/TimingEngine.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

using Blinkwit::JsonText;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

const std::string sample = "# Title\n\x1b[32mDone\x1b[0m. Run `make all`, see "
                           "https://www.example.com/x.\n\n```python\na = 1\nb = 2\n```\n";

class TokensCommand : public ::testing::Test {
protected:
    TokensCommand() { std::ofstream(path("sample.md").toStdString(), std::ios::binary) << sample; }
    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    // Runs blinkwit with arguments (a shell fragment) and no display at all.
    Outcome run(const std::string& arguments) const {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" +
                                    std::string(BLINKWIT_BINARY) + "' " + arguments + " >'" +
                                    path("out").toStdString() + "' 2>'" +
                                    path("err").toStdString() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(path("out")),
                readFile(path("err"))};
    }

    std::string quoted(const char* name) const { return "'" + path(name).toStdString() + "'"; }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(TokensCommand, WritesOneJsonObjectPerTokenFromAFileOrStandardInput) {
    const Outcome fromFile = run("tokens " + quoted("sample.md"));
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.err, "");
    const auto output = lines(fromFile.out);
    ASSERT_EQ(output.size(), 7u);
    for (const std::string& line : output) {
        QJsonParseError error;
        const auto object =
            QJsonDocument::fromJson(QByteArray::fromStdString(line), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
        EXPECT_EQ(object.size(), 13) << line;
    }
    // Every field, in a fixed order, even the empty ones.
    EXPECT_EQ(output[0], R"({"text":"Title","kind":"word","language":null,"lineCount":null,)"
                         R"("codeContent":null,"endsSentence":true,"endsClause":false,)"
                         R"("paragraphBreakAfter":true,"sentenceIndex":0,"paragraphIndex":0,)"
                         R"("containsDigits":false,"orp":1,"duration":0.8999999999999999})");
    const auto block = QJsonDocument::fromJson(QByteArray::fromStdString(output[6])).object();
    EXPECT_EQ(block["kind"].toString(), "codeBlock");
    EXPECT_EQ(block["language"].toString(), "python");
    EXPECT_EQ(block["lineCount"].toInt(), 2);
    EXPECT_EQ(block["codeContent"].toString(), "a = 1\nb = 2");
    EXPECT_DOUBLE_EQ(block["duration"].toDouble(), 1.5);
    EXPECT_NE(output[5].find(R"("kind":"url")"), std::string::npos);

    EXPECT_EQ(run("tokens - <" + quoted("sample.md")).out, fromFile.out);
    EXPECT_EQ(run("tokens <" + quoted("sample.md")).out, fromFile.out);
}

// Lines are put together from parts built once per kind, per set of flags and per duration, and
// blocks of lines on several threads: each line must still carry its own token's values, in order.
// More than one block of lines: the sample 150 times.
std::string longSample() {
    std::string text;
    for (int copy = 0; copy < 150; ++copy)
        text += readFile(BLINKWIT_SAMPLE) + "\n\n";
    return text;
}

TEST_F(TokensCommand, EveryLineCarriesItsOwnTokensValuesInOrder) {
    const std::string text = longSample();
    std::ofstream(path("long.md").toStdString(), std::ios::binary) << text;
    const auto tokens = BlinkwitCore::TextPreprocessor::tokens(text, {});
    const auto output = lines(run("tokens --wpm 350 " + quoted("long.md")).out);
    ASSERT_GT(tokens.size(), 8000u) << "more than one block of lines";
    ASSERT_EQ(output.size(), tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto object = QJsonDocument::fromJson(QByteArray::fromStdString(output[i])).object();
        const BlinkwitCore::Token& token = tokens[i];
        ASSERT_EQ(object["text"].toString().toStdString(), token.text) << i;
        ASSERT_EQ(object["endsClause"].toBool(), token.endsClause) << i;
        ASSERT_EQ(object["paragraphBreakAfter"].toBool(), token.paragraphBreakAfter) << i;
        ASSERT_EQ(object["sentenceIndex"].toInteger(), token.sentenceIndex) << i;
        ASSERT_EQ(object["paragraphIndex"].toInteger(), token.paragraphIndex) << i;
        ASSERT_EQ(object["orp"].toInteger(), BlinkwitCore::ORP::index(token.text)) << i;
        ASSERT_EQ(object["duration"].toDouble(), BlinkwitCore::TimingEngine::duration(token, 350))
            << i;
    }
}

TEST_F(TokensCommand, ModeAndRateOptions) {
    const auto skipped = lines(run("tokens --mode skip " + quoted("sample.md")).out);
    EXPECT_EQ(skipped.size(), 6u);
    const auto read = lines(run("tokens --mode=readWords --wpm=600 " + quoted("sample.md")).out);
    ASSERT_EQ(read.size(), 12u);
    const auto title = QJsonDocument::fromJson(QByteArray::fromStdString(read[0])).object();
    EXPECT_DOUBLE_EQ(title["duration"].toDouble(), 0.1 * (1.0 + 2.0 + 3.0));
    for (const char* rate : {"0", "-5"}) {
        const Outcome slow = run(std::string("tokens --wpm ") + rate + " " + quoted("sample.md"));
        ASSERT_EQ(slow.status, 0);
        const auto first = QJsonDocument::fromJson(QByteArray::fromStdString(lines(slow.out)[0]));
        EXPECT_DOUBLE_EQ(first.object()["duration"].toDouble(), 60.0 * 6.0);
    }
    EXPECT_EQ(run("tokens " + quoted("sample.md") + " --help").status, 0);
}

TEST_F(TokensCommand, UsageErrorsExitWithTwo) {
    for (const char* arguments :
         {"tokens --mode fancy", "tokens --colour", "tokens --wpm fast", "tokens --wpm 1.5",
          "tokens --wpm", "tokens a b", "tokens --wpm 99999999999999999999"}) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
        const auto message = lines(result.err);
        ASSERT_GE(message.size(), 2u) << arguments;
        EXPECT_EQ(message[0].rfind("blinkwit: ", 0), 0u) << message[0];
        EXPECT_EQ(message[1].rfind("usage: blinkwit tokens", 0), 0u) << message[1];
    }
}

TEST_F(TokensCommand, UnreadableInputExitsWithOne) {
    const Outcome missing = run("tokens " + quoted("missing.txt"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "blinkwit: cannot read '" + path("missing.txt").toStdString() +
                               "': No such file or directory\n");
    const Outcome directory = run("tokens '" + dir_.path().toStdString() + "'");
    EXPECT_EQ(directory.status, 1);
    EXPECT_EQ(directory.err,
              "blinkwit: cannot read '" + dir_.path().toStdString() + "': is a directory\n");
    const Outcome endless = run("tokens /dev/zero");
    EXPECT_EQ(endless.status, 1);
    EXPECT_EQ(endless.err,
              "blinkwit: cannot read '/dev/zero': longer than 128 MiB, the most blinkwit reads\n");
}

// Also with several blocks of lines: a full disk ends the writing threads and the command.
TEST_F(TokensCommand, OutputThatCannotBeWrittenExitsWithThree) {
    std::ofstream(path("long.md").toStdString(), std::ios::binary) << longSample();
    for (const char* name : {"sample.md", "long.md"}) {
        const std::string command = "'" + std::string(BLINKWIT_BINARY) + "' tokens " +
                                    quoted(name) + " >/dev/full 2>" + quoted("err");
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 3) << name;
        EXPECT_EQ(readFile(path("err")),
                  "blinkwit: cannot write the tokens: No space left on device\n")
            << name;
    }
}

TEST(JsonText, EscapesEverythingJsonOrJavaScriptCannotHoldRaw) {
    EXPECT_EQ(JsonText::quoted("plain ümlaut ⟨x⟩"), "\"plain ümlaut ⟨x⟩\"");
    EXPECT_EQ(JsonText::quoted("q\"b\\s/"), R"("q\"b\\s/")");
    EXPECT_EQ(JsonText::quoted("\n\r\t\b\f"), R"("\n\r\t\b\f")");
    EXPECT_EQ(JsonText::quoted(std::string("\0\x01\x1f\x7f", 4)), R"("\u0000\u0001\u001f\u007f")");
    EXPECT_EQ(JsonText::quoted("a\xe2\x80\xa8"
                               "b\xe2\x80\xa9"),
              R"("a\u2028b\u2029")");
    EXPECT_EQ(JsonText::quoted("bad\xff\xc3"), "\"bad\xef\xbf\xbd\xef\xbf\xbd\"");
    EXPECT_EQ(JsonText::quoted(""), "\"\"");
}
