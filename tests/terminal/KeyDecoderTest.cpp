#include "terminal/KeyDecoder.h"

#include "tests/support/ManualScheduler.h"

#include <gtest/gtest.h>
#include <vector>

using namespace Blinkwit;
using Keys = std::vector<TerminalKey>;

namespace {

struct Decoding {
    Testing::ManualScheduler scheduler;
    Keys keys;
    std::vector<TerminalClick> clicks;
    KeyDecoder decoder{scheduler, [this](TerminalKey key) { keys.push_back(key); },
                       [this](TerminalClick click) { clicks.push_back(click); }};
};

} // namespace

TEST(KeyDecoder, DecodesPlainKeysAndArrowsInOneRead) {
    Decoding d;
    d.decoder.feed("\x1b[A\x1b[B\x1b[C\x1b[D \r\nqQ\x03\x1ax\xc3\xa9");
    EXPECT_EQ(d.keys,
              (Keys{TerminalKey::up, TerminalKey::down, TerminalKey::right, TerminalKey::left,
                    TerminalKey::space, TerminalKey::enter, TerminalKey::enter, TerminalKey::quit,
                    TerminalKey::quit, TerminalKey::interrupt, TerminalKey::suspend}));
    EXPECT_EQ(d.scheduler.pendingCount(), 0u);
}

TEST(KeyDecoder, ReadsShiftFromEveryArrowEncoding) {
    Decoding d;
    d.decoder.feed("\x1b[1;2D\x1b[1;2C"); // xterm Shift
    d.decoder.feed("\x1b[1;4D\x1b[1;6C"); // Shift+Alt, Shift+Ctrl
    d.decoder.feed("\x1b[1;5D\x1b[1;3C"); // Ctrl, Alt alone: no Shift
    d.decoder.feed("\x1b[d\x1b[c");       // rxvt
    d.decoder.feed("\x1bOA\x1bOD\x1bOM"); // application cursor keys, keypad Enter
    d.decoder.feed("\x1b[1;2A");          // Shift+Up is still Up
    EXPECT_EQ(d.keys, (Keys{TerminalKey::shiftLeft, TerminalKey::shiftRight, TerminalKey::shiftLeft,
                            TerminalKey::shiftRight, TerminalKey::left, TerminalKey::right,
                            TerminalKey::shiftLeft, TerminalKey::shiftRight, TerminalKey::up,
                            TerminalKey::left, TerminalKey::enter, TerminalKey::up}));
}

TEST(KeyDecoder, LoneEscapeCountsOnlyAfterTheTimeoutButASplitSequenceIsNone) {
    Decoding d;
    d.decoder.feed("\x1b");
    d.scheduler.advance(KeyDecoder::escapeTimeout / 2);
    EXPECT_TRUE(d.keys.empty());
    d.scheduler.advance(KeyDecoder::escapeTimeout);
    EXPECT_EQ(d.keys, Keys{TerminalKey::escape});

    // Escape followed at once by another key is Alt with it, which does nothing: Alt+q, Alt+Up
    // (rxvt), Alt+é, Alt+Escape.
    d.decoder.feed("\x1bq\x1b\x1b[A\x1b\xc3\xa9 \x1b\x1b");
    d.scheduler.advance(KeyDecoder::escapeTimeout * 2);
    EXPECT_EQ(d.keys, (Keys{TerminalKey::escape, TerminalKey::space}));
    // An Escape read alone is the key even when its timeout has not come round before the next
    // read (a busy machine): a terminal sends Alt with a key in one write.
    d.decoder.feed("\x1b");
    d.decoder.feed(" ");
    EXPECT_EQ(d.keys, (Keys{TerminalKey::escape, TerminalKey::space, TerminalKey::escape,
                            TerminalKey::space}));

    d.keys.clear();
    for (const char* piece : {"\x1b", "[", "1;", "2", "D"}) {
        d.scheduler.advance(KeyDecoder::escapeTimeout / 2);
        d.decoder.feed(piece);
    }
    d.scheduler.advance(KeyDecoder::escapeTimeout * 10);
    EXPECT_EQ(d.keys, Keys{TerminalKey::shiftLeft});
}

TEST(KeyDecoder, UnknownAndBrokenSequencesAreDroppedAndDecodingRecovers) {
    Decoding d;
    d.decoder.feed("\x1b[3~\x1bOP\x1b[?1;2c "); // Delete, F1, a device attributes reply
    EXPECT_EQ(d.keys, Keys{TerminalKey::space});

    d.keys.clear();
    d.decoder.feed("\x1b[" + std::string(100, '1') + "A "); // runaway parameters
    EXPECT_EQ(d.keys, Keys{TerminalKey::space});

    d.keys.clear();
    d.decoder.feed("\x1b[1;");
    d.scheduler.advance(KeyDecoder::escapeTimeout * 2); // never finished: no key at all
    d.decoder.feed("A\x1b[A");
    EXPECT_EQ(d.keys, Keys{TerminalKey::up});
}

TEST(KeyDecoder, PagingKeysAndCtrlL) {
    Decoding d;
    d.decoder.feed("\x1b[5~\x1b[6~\x1b[H\x1b[F\x1b[1~\x1b[4~\x1bOH\x1bOF\x1b[6;5~\x0c");
    EXPECT_EQ(d.keys,
              (Keys{TerminalKey::pageUp, TerminalKey::pageDown, TerminalKey::home, TerminalKey::end,
                    TerminalKey::home, TerminalKey::end, TerminalKey::home, TerminalKey::end,
                    TerminalKey::pageDown, TerminalKey::repaint}));
}

TEST(KeyDecoder, APastedTextIsNoKeyEvenSplitAcrossReads) {
    Decoding d;
    d.decoder.feed("\x1b[200~q \x1b[A\x1b");
    d.decoder.feed("\r\x03\x1b[20");
    d.scheduler.advance(KeyDecoder::escapeTimeout * 2);
    d.decoder.feed("1~ ");
    EXPECT_EQ(d.keys, Keys{TerminalKey::space});
}

TEST(KeyDecoder, ReportsLeftButtonClicksAndIgnoresOtherMouseReports) {
    Decoding d;
    d.decoder.feed("\x1b[<0;40;23M\x1b[<0;81;23m"); // left press, release (one-based cells)
    d.decoder.feed("\x1b[<2;5;5M\x1b[<64;5;5M\x1b[<32;6;5M\x1b[<4;5;5M"); // right, wheel,
                                                                          // drag, Shift+click
    d.decoder.feed("\x1b[<0;0;5M\x1b[<0;5M\x1b[<0;99999999999;5M\x1b[<0;x;5M "); // malformed
    EXPECT_EQ(d.clicks, (std::vector<TerminalClick>{{true, 39, 22}, {false, 80, 22}}));
    EXPECT_EQ(d.keys, Keys{TerminalKey::space});
}
