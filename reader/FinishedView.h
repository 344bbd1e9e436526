#pragma once

#include <QWidget>

namespace Blinkwit {

class AppSettings;
class CentredStack;
class ReaderEngine;

// What the reader shows after the last token: the word count and how to go on.
class FinishedView final : public QWidget {
    Q_OBJECT
public:
    FinishedView(const ReaderEngine& engine, const AppSettings& settings,
                 QWidget* parent = nullptr);

    QStringList texts() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CentredStack stack(const QPaintDevice* device) const;

    const ReaderEngine& engine_;
    const AppSettings& settings_;
};

} // namespace Blinkwit
