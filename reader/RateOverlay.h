#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace Blinkwit {

class AppSettings;
class ReaderEngine;

// The "425 WPM" badge at the top of the panel after a speed change; fades in and out.
class RateOverlay final : public QWidget {
    Q_OBJECT
public:
    RateOverlay(const ReaderEngine& engine, const AppSettings& settings, QWidget* parent = nullptr);

    static constexpr int fadeMilliseconds = 150;
    static constexpr int topOffset = 12;

    void setAnimated(bool animated) { animated_ = animated; }
    // Follows the engine's overlay flag: fades towards shown or hidden.
    void refresh();
    QString text() const;
    // The badge's size for the current rate; the parent places it.
    QSize badgeSize() const;
    // 0 (hidden) ... 1 (fully shown).
    double opacity() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ReaderEngine& engine_;
    const AppSettings& settings_;
    bool animated_ = true;
    QVariantAnimation fade_;
};

} // namespace Blinkwit
