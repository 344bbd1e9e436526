#pragma once

#include "ThemePreset.h"

#include <QAbstractButton>

namespace Blinkwit {

// A preset as a borderless button: a black (dark) or white (light) disc with a dot of the
// preset's colour, ringed in the desktop's accent colour while the preset is active, and the
// preset's name below it.
class PresetSwatch final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int swatchSize = 26;
    static constexpr int dotSize = 12;
    static constexpr int ringWidth = 2;
    static constexpr int nameSpacing = 4;

    explicit PresetSwatch(ThemePreset preset, QWidget* parent = nullptr);

    const ThemePreset& preset() const { return preset_; }
    bool isActive() const { return active_; }
    void setActive(bool active);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The ring's outer edge lies this far outside the disc.
    static constexpr int ringReach = 3 + ringWidth;

    QRectF discRect() const;

    ThemePreset preset_;
    bool active_ = false;
};

} // namespace Blinkwit
