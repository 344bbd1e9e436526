#include "TmuxSession.h"
#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <tuple>

using Blinkwit::Testing::TmuxSession;

namespace {

const QString tick = QStringLiteral("\u2502");

// A word frame: the middle of three rows with a fixation mark above and below one column.
struct WordOnScreen {
    QString row;
    int column = -1;
};

std::optional<WordOnScreen> wordOnScreen(const QStringList& rows) {
    for (int row = 1; row + 1 < rows.size(); ++row) {
        const int column = rows[row - 1].indexOf(tick);
        if (column >= 0 && rows[row + 1].indexOf(tick) == column && rows[row - 1].trimmed() == tick)
            return WordOnScreen{rows[row], column};
    }
    return std::nullopt;
}

QString currentWord(const QStringList& rows) {
    const auto word = wordOnScreen(rows);
    return word ? word->row.trimmed() : QString();
}

// A big digit's rows, one '#' or ' ' per two-cell pixel, without their shared indentation.
QString figure(const QStringList& rows) {
    QStringList kept = rows.filter(QStringLiteral("\u2588"));
    qsizetype indent = 1000;
    for (const QString& row : kept)
        indent = std::min(indent, row.indexOf(QStringLiteral("\u2588")));
    for (QString& row : kept)
        row = row.mid(indent).replace(QStringLiteral("\u2588\u2588"), "#").replace("  ", " ");
    return kept.join('/').remove(QRegularExpression(" +(?=/|$)"));
}

void expectTerminalRestored(const TmuxSession& session) {
    ASSERT_TRUE(session.waitForExit());
    EXPECT_FALSE(session.file("modes-before").isEmpty());
    EXPECT_EQ(session.file("modes-after"), session.file("modes-before"));
    // Cursor shown, main screen, mouse reports off.
    EXPECT_EQ(session.paneFormat("#{cursor_flag}#{alternate_on}#{mouse_any_flag}#{mouse_sgr_flag}"),
              "1000");
}

bool showsPausedSentence(const QStringList& rows, const QString& sentence) {
    const QString screen = rows.join('\n');
    return screen.contains(sentence) && screen.contains("Space to resume");
}

class TerminalReader : public testing::Test {
protected:
    void SetUp() override {
        if (!TmuxSession::available())
            GTEST_SKIP() << "tmux is not installed (scripts/setup installs it)";
    }
};

} // namespace

TEST_F(TerminalReader, CountsDownReadsOnOneColumnFinishesAndQuitsCleanly) {
    TmuxSession session({.text = "a reading extraordinarily to be wonderful.\n",
                         .throughPipe = true,
                         .wpm = 300}); // slow enough that a busy machine shows every word
    ASSERT_TRUE(session.waitForText("Done \u2014 6 words"));
    EXPECT_TRUE(
        session.waitForText("Space to replay \u00b7 \u2190 to step back \u00b7 Esc to close"));
    session.sendKeys({"q"});
    expectTerminalRestored(session);
    EXPECT_EQ(session.exitStatus(), 0);
    Blinkwit::JsonFileDefaultsStore store(session.defaultsPath());
    EXPECT_EQ(Blinkwit::HistoryStore(store).entries().value(0).text,
              "a reading extraordinarily to be wonderful.");

    // Countdown 3, 2, 1 as big digits, each its own frame, before the first word.
    const std::vector<QStringList> frames = session.recordedFrames();
    std::vector<QString> countdown;
    std::vector<WordOnScreen> words;
    for (const QStringList& frame : frames) {
        if (auto word = wordOnScreen(frame)) {
            if (words.empty() || words.back().row != word->row)
                words.push_back(*word);
        } else if (words.empty() && frame.join("").contains(QStringLiteral("\u2588"))) {
            const QString digit = figure(frame);
            if (countdown.empty() || countdown.back() != digit)
                countdown.push_back(digit);
        }
    }
    EXPECT_EQ(countdown, (std::vector<QString>{"###/  #/###/  #/###", "###/  #/###/#/###",
                                               " #/##/ #/ #/###"}));

    // Every word, short or long, has its pivot letter on the same column between the marks.
    const std::vector<std::pair<QString, QChar>> expected{
        {"a", 'a'},  {"reading", 'a'}, {"extraordinarily", 'a'},
        {"to", 'o'}, {"be", 'e'},      {"wonderful.", 'd'}};
    ASSERT_EQ(words.size(), expected.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        SCOPED_TRACE(expected[i].first.toStdString());
        EXPECT_EQ(words[i].column, 40);
        EXPECT_EQ(words[i].row.trimmed(), expected[i].first);
        EXPECT_EQ(words[i].row.at(words[i].column), expected[i].second);
    }
}

TEST_F(TerminalReader, PauseSpeedAndJumpsFollowTheKeysAndEscapeRestores) {
    TmuxSession session({.text = "First sentence is here. Second sentence follows now.\n\n"
                                 "Third one starts paragraph two. Fourth closes it.\n",
                         .wpm = 150});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    EXPECT_TRUE(session.screen().join('\n').contains("150 WPM")); // the stored rate
    // Wherever the pause lands, two paragraph steps back reach the first word.
    session.sendKeys({"Space", "S-Left", "S-Left"});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) {
        return showsPausedSentence(rows, "First sentence is here.");
    }));
    EXPECT_TRUE(session.screen().join('\n').contains(
        "Space to resume \u00b7 \u2190\u2192 sentences \u00b7 Shift+\u2190\u2192 paragraphs"));

    session.sendKeys({"Up"});
    ASSERT_TRUE(session.waitForText(" 175 WPM "));
    EXPECT_TRUE(session.screen().last().contains("175 WPM"));
    session.sendKeys({"Down", "Down", "Down"});
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return rows.last().trimmed().startsWith("100 WPM"); // never below the minimum
    }));

    session.sendKeys({"Right"});
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return showsPausedSentence(rows, "Second sentence follows now.") &&
               currentWord(rows) == "Second";
    }));
    session.sendKeys({"S-Right"});
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return showsPausedSentence(rows, "Third one starts paragraph two.");
    }));
    session.sendKeys({"Left"});
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return showsPausedSentence(rows, "Second sentence follows now.");
    }));
    session.sendKeys({"S-Left"});
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return showsPausedSentence(rows, "First sentence is here.") && currentWord(rows) == "First";
    }));

    // A click on the progress bar, released beyond its right end, seeks to the last word.
    session.sendLiteral("\x1b[<0;40;23M\x1b[<0;80;23m");
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return showsPausedSentence(rows, "Fourth closes it.") && currentWord(rows) == "it.";
    }));

    session.sendKeys({"Escape"});
    expectTerminalRestored(session);
    EXPECT_EQ(session.exitStatus(), 0);
}

TEST_F(TerminalReader, CtrlZAndFgResumePausedThenCodeExpandsScrollsAndCollapses) {
    QString text = "Intro words here.\n\n```python\n";
    for (int i = 1; i <= 40; ++i)
        text += QString("value_%1 = %1\n").arg(i);
    text += "```\n\nAfter the code.\n";
    TmuxSession session({.text = text, .wpm = 100});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    session.sendKeys({"C-z"});
    ASSERT_TRUE(session.waitForText("reader stopped"));
    EXPECT_EQ(session.file("modes-stopped"), session.file("modes-before"));
    EXPECT_EQ(session.paneFormat("#{cursor_flag}#{alternate_on}"), "10");
    session.continueStopped();
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        return wordOnScreen(rows) && rows.join('\n').contains("Space to resume");
    }));
    EXPECT_EQ(session.paneFormat("#{alternate_on}"), "1");

    session.sendKeys({"S-Left", "S-Left", "Right"});
    ASSERT_TRUE(session.waitForText("\u27e8code: python, 40 lines\u27e9"));
    EXPECT_TRUE(session.waitForText("Enter to expand code"));
    session.sendKeys({"Enter"});
    ASSERT_TRUE(session.waitForText("Enter or Esc to collapse and resume"));
    EXPECT_TRUE(session.screen().join('\n').contains("value_1 = 1"));
    EXPECT_TRUE(session.screen().join('\n').contains("PgUp PgDn Home End scroll"));
    session.sendKeys({"Down", "Down", "Down"});
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        const QString screen = rows.join('\n');
        return screen.contains("value_4 = 4") && !screen.contains("value_3 = 3") &&
               screen.contains(" 4\u2013");
    }));
    // A page is the box's height less one line; End and Home go to either end.
    for (const auto& [key, top] : std::vector<std::pair<QString, int>>{
             {"NPage", 15}, {"End", 29}, {"PPage", 18}, {"Home", 1}}) {
        session.sendKeys({key});
        EXPECT_TRUE(session.waitForText(QStringLiteral(" %1\u2013").arg(top))) << key.toStdString();
    }

    // Escape first collapses the code and resumes; reading goes on to the end.
    session.sendKeys({"Escape"});
    EXPECT_TRUE(session.waitFor(
        [](const QStringList& rows) { return !rows.join('\n').contains("collapse and resume"); }));
    EXPECT_TRUE(session.waitForText("Done \u2014 7 words"));
    EXPECT_EQ(session.exitStatus(), -1);
    session.sendKeys({"Escape"});
    expectTerminalRestored(session);
    EXPECT_EQ(session.exitStatus(), 0);
}

TEST_F(TerminalReader, RedrawsOnResizeAndRestoresTheTerminalOnSigterm) {
    TmuxSession session({.text = "Resizing keeps the reader centred while it plays along.\n",
                         .wpm = 100,
                         .darkTheme = false});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    EXPECT_EQ(wordOnScreen(session.screen()).value_or(WordOnScreen{}).column, 40);
    session.sendKeys({"Space"});
    session.resize(100, 30);
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        const auto word = wordOnScreen(rows);
        return word && word->column == 50 && rows.size() == 30;
    }));

    ASSERT_EQ(::kill(pid_t(session.programPid()), SIGTERM), 0);
    expectTerminalRestored(session);
    EXPECT_EQ(session.exitStatus(), 128 + SIGTERM);
}

TEST_F(TerminalReader, EachExpandedCodeBlockShowsItsOwnCode) {
    TmuxSession session({.text = "Two blocks.\n\n```py\nfirst_block = 1\n```\n\n```py\n"
                                 "second_block = 2\n```\n\nThe end.\n",
                         .wpm = 100});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    for (const auto& [steps, shown, hidden] : {std::tuple{1, "first_block = 1", "second_block"},
                                               {2, "second_block = 2", "first_block"}}) {
        session.sendKeys({"Space"});
        ASSERT_TRUE(session.waitForText("Space to resume"));
        session.sendKeys({"S-Left", "S-Left", "S-Left"});
        for (int step = 0; step < steps; ++step)
            session.sendKeys({"S-Right"});
        session.sendKeys({"Enter"});
        EXPECT_TRUE(session.waitFor([shown = shown, hidden = hidden](const QStringList& rows) {
            const QString screen = rows.join('\n');
            return screen.contains(shown) && !screen.contains(hidden);
        })) << shown;
        session.sendKeys({"Escape"}); // collapses and reads on
        ASSERT_TRUE(session.waitFor(
            [](const QStringList& rows) { return !rows.join('\n').contains("PgUp PgDn"); }));
    }
    session.sendKeys({"q"});
    expectTerminalRestored(session);
}

TEST_F(TerminalReader, EveryOtherEndingSignalRestoresTheTerminalToo) {
    for (const int signal : {SIGUSR1, SIGPIPE, SIGALRM}) {
        TmuxSession session({.text = "Every way out restores the terminal.\n"});
        ASSERT_TRUE(
            session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
        ASSERT_EQ(::kill(pid_t(session.programPid()), signal), 0);
        expectTerminalRestored(session);
        EXPECT_EQ(session.exitStatus(), 128 + signal);
    }
}

TEST_F(TerminalReader, PastesAndAltKeysAreNoCommandsAndCtrlLRepaints) {
    TmuxSession session({.text = "Pasted keys must not act on the reader at all.\n", .wpm = 100});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    session.sendKeys({"Space"});
    ASSERT_TRUE(session.waitForText("Space to resume"));
    session.paste("q \x1b\x03 Q\r");
    session.sendKeys({"M-q", "M-Escape", "M-Space"});
    session.scribble("\x1b[3;1HSCRIBBLED OVER THE READER");
    ASSERT_TRUE(session.waitForText("SCRIBBLED"));
    session.sendKeys({"C-l"});
    // Keys are handled in order: once the screen is clean, the paste and the Alt keys are done.
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        const QString screen = rows.join('\n');
        return !screen.contains("SCRIBBLED") && screen.contains("Space to resume");
    }));
    EXPECT_EQ(session.exitStatus(), -1);
    session.sendKeys({"q"});
    expectTerminalRestored(session);
    EXPECT_EQ(session.exitStatus(), 0);
}

TEST_F(TerminalReader, ALongTextShowsPreparingThenTheCountdownAndAWindowOfItsSentence) {
    // One sentence of two megabytes, without a blank line.
    QString text;
    for (int i = 0; text.size() < (2 << 20); ++i)
        text += QStringLiteral("word%1 ").arg(i);
    TmuxSession session({.text = text, .throughPipe = true, .wpm = 100});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    session.sendKeys({"Space"});
    session.sendLiteral("\x1b[<0;40;23M\x1b[<0;40;23m"); // to the middle of the text
    EXPECT_TRUE(session.waitFor([](const QStringList& rows) {
        // Two lines cut at both ends: "… word… word…" and "word… w…".
        const QStringList cut = rows.filter(QStringLiteral("\u2026"));
        return cut.size() >= 2 && cut[0].trimmed().startsWith("\u2026 word") &&
               cut[1].trimmed().endsWith("\u2026");
    }));
    session.sendKeys({"q"});
    expectTerminalRestored(session);

    std::vector<QString> shown;
    for (const QStringList& frame : session.recordedFrames()) {
        const QString screen = frame.join('\n');
        QString what = screen.contains("Preparing\u2026") ? "preparing" : figure(frame);
        if (!what.isEmpty() && (shown.empty() || shown.back() != what))
            shown.push_back(what);
        if (wordOnScreen(frame))
            break;
    }
    // The countdown starts from 3 once the tokens are in. (A machine too busy to draw within a
    // fifth of a second may skip 2 or 1: the first word keeps its time after the load.)
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], "preparing");
    EXPECT_EQ(shown[1], "###/  #/###/  #/###");
}

TEST_F(TerminalReader, ATerminalThatCannotRedrawIsRefusedAndLeftAlone) {
    for (const QString& term : {QStringLiteral("dumb"), QString()}) {
        TmuxSession session({.text = "Never shown.\n", .term = term});
        ASSERT_TRUE(session.waitForExit());
        EXPECT_EQ(session.exitStatus(), 1);
        EXPECT_TRUE(session.screen().join('\n').contains("needs a terminal that can redraw"));
        EXPECT_EQ(session.file("modes-after"), session.file("modes-before"));
        EXPECT_FALSE(session.file("output").contains("\x1b[?1049h"));
    }
}

TEST_F(TerminalReader, TheProgressTrackShowsInSixteenColours) {
    TmuxSession session({.text = "Sixteen colours.\n", .term = "xterm", .colorTerm = ""});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    session.sendKeys({"q"});
    expectTerminalRestored(session);
    // Bright black on black: the track was drawn black on black.
    EXPECT_TRUE(session.file("output").contains("\x1b[0;90;40m\u2500"));
}

TEST_F(TerminalReader, CrashSignalStillRestoresTheTerminal) {
    TmuxSession session({.text = "A crash must not leave the terminal in raw mode.\n"});
    ASSERT_TRUE(session.waitFor([](const QStringList& rows) { return bool(wordOnScreen(rows)); }));
    ASSERT_EQ(::kill(pid_t(session.programPid()), SIGSEGV), 0);
    expectTerminalRestored(session);
    EXPECT_GT(session.exitStatus(), 128); // ended by the signal, not by a clean exit
}

struct Outcome {
    int status = -1;
    QByteArray errors;
};

// Runs the program in a new session, so it has no controlling terminal.
Outcome runDetached(const QStringList& arguments, const QByteArray& input) {
    QTemporaryDir dir;
    QProcess program;
    program.setProgram("setsid");
    program.setArguments(QStringList{"-w", BLINKWIT_EXECUTABLE} + arguments);
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", dir.path());
    program.setProcessEnvironment(environment);
    program.start();
    program.write(input);
    program.closeWriteChannel();
    program.waitForFinished(30000);
    return {program.exitCode(), program.readAllStandardError()};
}

TEST_F(TerminalReader, FailsClearlyWithoutATerminalOrWithoutReadableText) {
    for (const auto& [arguments, status, message] :
         {std::tuple{QStringList{"-"}, 1, "no terminal to read keys from"},
          {{"/nonexistent/text.md"}, 1, "cannot read '/nonexistent/text.md'"},
          {{"one.md", "two.md"}, 2, ""},
          {{""}, 2, "the file name is empty"},
          {{"/tmp"}, 1, "cannot read '/tmp': is a directory"},
          {{"/dev/zero"}, 1, "longer than 128 MiB"},
          {{"--fast"}, 2, "unknown option '--fast'"}}) {
        const Outcome outcome =
            runDetached(QStringList{"read", "--terminal"} + arguments, "Some text to read.\n");
        EXPECT_EQ(outcome.status, status) << message;
        EXPECT_TRUE(outcome.errors.contains(message)) << outcome.errors.toStdString();
    }
    // A file whose name is not UTF-8 is read: only the missing terminal stops the program.
    QTemporaryDir dir;
    std::FILE* latin1 =
        std::fopen((QFile::encodeName(dir.path()) + "/caf\xe9.md").constData(), "w");
    ASSERT_NE(latin1, nullptr);
    std::fclose(latin1);
    QProcess program;
    program.start(
        "sh", {"-c", R"sh(exec setsid -w "$0" read --terminal "$(printf '%s/caf\351.md' "$1")")sh",
               BLINKWIT_EXECUTABLE, dir.path()});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains("no terminal to read keys from"));
}
