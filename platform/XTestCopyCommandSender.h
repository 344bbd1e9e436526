#pragma once

#include "Timer.h"
#include "app/CopyCommandSender.h"

#include <vector>

using Display = struct _XDisplay;

namespace Blinkwit {

// Ctrl+C through XTest to the focused window. The hot key that asked for the copy is often
// still held: a held Shift would turn the copy into Ctrl+Shift+C, so sending waits until the
// modifiers are up (for at most maxWait).
class XTestCopyCommandSender final : public CopyCommandSender {
public:
    static constexpr double pollInterval = 0.01;
    static constexpr double maxWait = 1.0;

    // Uses Qt's X11 connection; without one, nothing is sent and posted runs at once.
    explicit XTestCopyCommandSender(Scheduler& scheduler);
    ~XTestCopyCommandSender() override;
    XTestCopyCommandSender(const XTestCopyCommandSender&) = delete;
    XTestCopyCommandSender& operator=(const XTestCopyCommandSender&) = delete;

    void postCommandC(std::function<void()> posted) override;

private:
    bool modifiersHeld() const;
    void poll();
    void sendAll();

    Display* display_ = nullptr;
    Timer timer_;
    double deadline_ = 0.0;
    std::vector<std::function<void()>> waiting_;
};

} // namespace Blinkwit
