#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace Blinkwit {

// The clipboard's contents as (format, bytes) pairs in the clipboard's own order.
using ClipboardSnapshot = std::vector<std::pair<QString, QByteArray>>;

// The desktop's clipboard, with a change counter that grows whenever its contents are
// replaced (by anyone, us included), and the primary selection: the text selected in any
// program.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    virtual long long changeCount() const = 0;
    virtual ClipboardSnapshot snapshot() const = 0;
    // Empty when there is no text or only an empty one.
    virtual std::optional<QString> plainText() const = 0;
    // Replaces the contents with the snapshot's formats, in order.
    virtual void restore(const ClipboardSnapshot& snapshot) = 0;
    // Empty when nothing is selected.
    virtual std::optional<QString> selectedText() const = 0;
};

} // namespace Blinkwit
