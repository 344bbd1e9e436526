#pragma once

#include <QWidget>

namespace Blinkwit {

class AppSettings;
class ReaderEngine;
class SeekableProgressBar;

// The panel's bottom strip: the progress bar (which seeks), the rate, the time left and a
// reminder of the keys. The widget reaches a little above its nominal top so that the progress
// bar's hit area fits inside it.
class FooterView final : public QWidget {
    Q_OBJECT
public:
    FooterView(ReaderEngine& engine, const AppSettings& settings, QWidget* parent = nullptr);

    static constexpr int topPadding = 2;
    static constexpr int bottomPadding = 9;
    static constexpr int sidePadding = 16;
    static constexpr int barHeight = 5;
    static constexpr int spacing = 5;

    // Height of the footer proper, and how far the widget extends above it.
    static int nominalHeight();
    static int overhang();

    SeekableProgressBar* progressBar() const { return bar_; }
    QString rateText() const;
    QString remainingText() const;
    static QString keysText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static QFont labelFont();

    const ReaderEngine& engine_;
    const AppSettings& settings_;
    SeekableProgressBar* bar_;
};

} // namespace Blinkwit
