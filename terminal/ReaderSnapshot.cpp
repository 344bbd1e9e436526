#include "ReaderSnapshot.h"

#include "reader/ReaderEngine.h"

namespace Blinkwit {

ReaderSnapshot ReaderSnapshot::of(const ReaderEngine& engine, int codeLine, int codeColumn) {
    ReaderSnapshot snapshot;
    snapshot.phase = engine.phase();
    if (const BlinkwitCore::Token* token = engine.current())
        snapshot.current = *token;
    snapshot.tokenCount = std::int64_t(engine.tokens().size());
    snapshot.wpm = engine.wpm();
    snapshot.wpmOverlayVisible = engine.wpmOverlayVisible();
    snapshot.expandedCodeVisible = engine.expandedCodeVisible();
    snapshot.progress = engine.progress();
    snapshot.remainingLabel = engine.remainingLabel().toStdString();
    // Only shown while paused, and finding it walks the whole text.
    if (snapshot.phase.is(Phase::Case::paused))
        snapshot.sentence = engine.currentSentenceText().toStdString();
    snapshot.codeLine = codeLine;
    snapshot.codeColumn = codeColumn;
    return snapshot;
}

} // namespace Blinkwit
