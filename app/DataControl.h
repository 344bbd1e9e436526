#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace Blinkwit {

// The clipboard and the primary selection of a Wayland desktop, read and written without a
// focused window of ours (the data-control protocol of KDE and wlroots compositors).
class DataControl {
public:
    enum class Selection { primary, clipboard };
    // Empty when there is no text, or it could not be read in time.
    using Completion = std::function<void(std::optional<QString>)>;

    virtual ~DataControl() = default;

    // Calls completion once, later.
    virtual void read(Selection selection, Completion completion) = 0;
    virtual void write(Selection selection, const QString& text) = 0;
};

} // namespace Blinkwit
