#pragma once

#include <QWidget>

namespace Blinkwit {

class AppSettings;
class CentredStack;

// What the reader shows when the text gave nothing to read.
class EmptyStateView final : public QWidget {
    Q_OBJECT
public:
    explicit EmptyStateView(const AppSettings& settings, QWidget* parent = nullptr);

    QStringList texts() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CentredStack stack(const QPaintDevice* device) const;

    const AppSettings& settings_;
};

} // namespace Blinkwit
