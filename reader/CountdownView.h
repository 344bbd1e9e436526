#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace Blinkwit {

class AppSettings;
class ReaderEngine;

// The big 3, 2, 1 before reading starts. A new number rolls in from below while the old one
// leaves upwards, so the count reads as counting down.
class CountdownView final : public QWidget {
    Q_OBJECT
public:
    CountdownView(const ReaderEngine& engine, const AppSettings& settings,
                  QWidget* parent = nullptr);

    static constexpr int transitionMilliseconds = 150;

    void setAnimated(bool animated) { animated_ = animated; }
    // Called when the engine's number may have changed.
    void refresh();
    int number() const;
    QString text() const { return QString::number(number()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintNumber(QPainter& painter, int number, double offset, double opacity) const;

    const ReaderEngine& engine_;
    const AppSettings& settings_;
    bool animated_ = true;
    // Presentation only: the number that is rolling out while the transition runs.
    int leaving_ = 0;
    int shown_ = 0;
    QVariantAnimation transition_;
};

} // namespace Blinkwit
