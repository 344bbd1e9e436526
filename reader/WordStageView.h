#pragma once

#include <QWidget>

namespace Blinkwit {

class AppSettings;
class ReaderEngine;

// The middle of the panel while a text is read: the current word on the fixation point between
// two tick marks and, while paused, the current sentence with a key hint.
class WordStageView final : public QWidget {
    Q_OBJECT
public:
    WordStageView(const ReaderEngine& engine, const AppSettings& settings,
                  QWidget* parent = nullptr);

    static constexpr double sideMargin = 24;

    // The fixation point for the stage's current size and phase.
    QPointF fixation() const;
    // The sentence lines and key hint shown while paused; empty otherwise.
    QStringList pausedTexts() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool showsSentence() const;
    QString keyHint() const;
    void paintTicks(QPainter& painter, QPointF fixation) const;
    void paintSentence(QPainter& painter) const;

    const ReaderEngine& engine_;
    const AppSettings& settings_;
};

} // namespace Blinkwit
