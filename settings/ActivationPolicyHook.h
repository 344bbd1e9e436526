#pragma once

namespace Blinkwit {

// Whether the program shows itself like an ordinary application (taskbar and switcher entry)
// or only as its tray icon.
enum class ActivationPolicy { regular, accessory };

// The platform's way of switching between the two; the application shell provides it.
class ActivationPolicyHook {
public:
    virtual ~ActivationPolicyHook() = default;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
};

} // namespace Blinkwit
