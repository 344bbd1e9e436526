#pragma once

#include <functional>

namespace Blinkwit {

// Sends the copy command (Ctrl+C) to the focused window.
class CopyCommandSender {
public:
    virtual ~CopyCommandSender() = default;

    // Calls posted once the keys have gone out (or, without a desktop, at once); sending may
    // wait for the user to let go of the hot key's modifiers.
    virtual void postCommandC(std::function<void()> posted) = 0;
};

} // namespace Blinkwit
