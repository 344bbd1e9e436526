#pragma once

#include "ReaderTheme.h"

#include <QWidget>
#include <array>

namespace Blinkwit {

class AppSettings;
class CodeExpandView;
class CountdownView;
class EmptyStateView;
class FinishedView;
class FooterView;
class PreparingView;
class RateOverlay;
class ReaderEngine;
class WordStageView;

// The reader panel's root view: the centre view for the phase, the expanded code block and the
// footer stacked under it, the rate badge on top, all on a rounded translucent background.
// Everything is drawn from the engine and the settings; it repaints on each of their changes.
class ReaderView final : public QWidget {
    Q_OBJECT
public:
    ReaderView(ReaderEngine& engine, const AppSettings& settings, QWidget* parent = nullptr);

    static constexpr double cornerRadius = 20;
    static constexpr int codeHeight = 230;
    static constexpr int codeSidePadding = 14;
    static constexpr int codeBottomPadding = 6;

    // Opaque: paint the whole rectangle (the window is cut to shape by its mask) for window
    // systems that cannot blend; otherwise the rounded shape over transparency, tinted for what
    // shows through.
    void setBackdrop(Backdrop backdrop);
    Backdrop backdrop() const { return backdrop_; }
    // Off: changes show at once (reduced motion, tests, still pictures).
    void setAnimated(bool animated);

    // The child showing in the middle for the current phase.
    QWidget* centreView() const;
    WordStageView* wordStage() const { return stage_; }
    CountdownView* countdown() const { return countdown_; }
    EmptyStateView* emptyState() const { return empty_; }
    FinishedView* finished() const { return finished_; }
    PreparingView* preparing() const { return preparing_; }
    CodeExpandView* codeView() const { return code_; }
    FooterView* footer() const { return footer_; }
    RateOverlay* rateOverlay() const { return overlay_; }

    // The rounded outline of a view of the given size.
    static QPainterPath shape(const QSizeF& size);

public slots:
    // Brings every child in line with the engine and the settings and repaints.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Every view that can stand in the middle, one per group of phases.
    std::array<QWidget*, 5> centreViews() const;
    bool showsCode() const;
    void layOut();

    ReaderEngine& engine_;
    const AppSettings& settings_;
    Backdrop backdrop_ = Backdrop::sharp;
    WordStageView* stage_;
    CountdownView* countdown_;
    EmptyStateView* empty_;
    FinishedView* finished_;
    PreparingView* preparing_;
    CodeExpandView* code_;
    FooterView* footer_;
    RateOverlay* overlay_;
};

} // namespace Blinkwit
