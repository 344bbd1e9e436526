#pragma once

#include "app/Clipboard.h"

#include <QObject>

namespace Blinkwit {

// The desktop clipboard and primary selection through Qt. The change counter is ours: it
// counts Qt's change signals, which fire for other programs' copies and for our own writes.
class QtClipboard final : public QObject, public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);

    long long changeCount() const override { return changeCount_; }
    ClipboardSnapshot snapshot() const override;
    std::optional<QString> plainText() const override;
    void restore(const ClipboardSnapshot& snapshot) override;
    std::optional<QString> selectedText() const override;

private:
    long long changeCount_ = 0;
};

} // namespace Blinkwit
