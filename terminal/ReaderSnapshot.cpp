#include "ReaderSnapshot.h"

#include "reader/ReaderEngine.h"
#include "reader/VisibleWord.h"

namespace Blinkwit {

ReaderSnapshot ReaderSnapshot::of(const ReaderEngine& engine, std::shared_ptr<const CodeLines> code,
                                  int codeLine, int codeColumn) {
    ReaderSnapshot snapshot;
    snapshot.phase = engine.phase();
    if (const BlinkwitCore::Token* token = engine.current())
        snapshot.current = VisibleWord::of(*token);
    snapshot.tokenCount = std::int64_t(engine.tokens().size());
    snapshot.wpm = engine.wpm();
    snapshot.wpmOverlayVisible = engine.wpmOverlayVisible();
    snapshot.expandedCodeVisible = engine.expandedCodeVisible();
    snapshot.progress = engine.progress();
    snapshot.remainingLabel = engine.remainingLabel().toStdString();
    if (snapshot.phase.is(Phase::Case::paused))
        snapshot.sentence = engine.sentenceContext().toStdString();
    if (snapshot.expandedCodeVisible)
        snapshot.code = std::move(code);
    snapshot.codeLine = codeLine;
    snapshot.codeColumn = codeColumn;
    return snapshot;
}

} // namespace Blinkwit
