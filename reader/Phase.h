#pragma once

#include <QMetaType>

namespace Blinkwit {

// The reader's playback state. Only the countdown carries a value: the number shown (3, 2, 1).
// While preparing, a text is being turned into tokens and nothing can be played yet.
class Phase {
public:
    enum class Case { countdown, idle, reading, paused, finished, empty, preparing };

    Phase() = default;
    static Phase countdown(int number) { return Phase(Case::countdown, number); }
    static Phase idle() { return Phase(Case::idle); }
    static Phase reading() { return Phase(Case::reading); }
    static Phase paused() { return Phase(Case::paused); }
    static Phase finished() { return Phase(Case::finished); }
    static Phase empty() { return Phase(Case::empty); }
    static Phase preparing() { return Phase(Case::preparing); }

    Case kind() const { return kind_; }
    bool is(Case kind) const { return kind_ == kind; }
    // The number shown during the countdown; 0 in every other phase.
    int countdownNumber() const { return number_; }

    bool operator==(const Phase&) const = default;

    // Lower-camel-case name of the case, for logs and tests ("countdown", "reading" ...).
    const char* name() const;

private:
    explicit Phase(Case kind, int number = 0)
        : kind_(kind)
        , number_(number) {}

    Case kind_ = Case::idle;
    int number_ = 0;
};

} // namespace Blinkwit

Q_DECLARE_METATYPE(Blinkwit::Phase)
