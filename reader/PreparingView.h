#pragma once

#include <QWidget>

namespace Blinkwit {

class AppSettings;
class CentredStack;

// What the reader shows while a long text is being turned into tokens.
class PreparingView final : public QWidget {
    Q_OBJECT
public:
    explicit PreparingView(const AppSettings& settings, QWidget* parent = nullptr);

    QStringList texts() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CentredStack stack(const QPaintDevice* device) const;

    const AppSettings& settings_;
};

} // namespace Blinkwit
