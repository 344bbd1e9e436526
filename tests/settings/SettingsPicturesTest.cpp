#include "KeyboardShortcuts/Registry.h"
#include "platform/UnavailableHotKeyBackend.h"
#include "settings/AppSettings.h"
#include "settings/AutostartEntry.h"
#include "settings/InMemoryDefaultsStore.h"
#include "settings/SettingsWindowController.h"
#include "tests/update/UpdateFakes.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace Blinkwit;

namespace {

QPalette darkPalette() {
    QPalette dark;
    const QColor text(232, 232, 232);
    dark.setColor(QPalette::Window, QColor(40, 40, 42));
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, QColor(52, 52, 55));
    dark.setColor(QPalette::AlternateBase, QColor(60, 60, 63));
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(64, 64, 68));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(53, 132, 228));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(160, 160, 165));
    dark.setColor(QPalette::ToolTipBase, QColor(52, 52, 55));
    dark.setColor(QPalette::ToolTipText, text);
    for (auto role : {QPalette::Light, QPalette::Midlight})
        dark.setColor(role, QColor(80, 80, 84));
    for (auto role : {QPalette::Mid, QPalette::Dark, QPalette::Shadow})
        dark.setColor(role, QColor(24, 24, 26));
    return dark;
}

// Renders the settings window in a dark and a light palette at scale factor 2 to PNG files
// for a person to look at: <build>/tests/settings/settings-pictures/<platform>/NN-name.png.
class SettingsPicturesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { QApplication::setStyle(QStyleFactory::create("Fusion")); }

    void save(const char* name, const QPalette& palette) {
        controller.show();
        SettingsView& view = *controller.window();
        view.setPalette(palette);
        QApplication::processEvents();
        QImage picture(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(2.0);
        picture.fill(palette.color(QPalette::Window));
        view.render(&picture, QPoint(), QRegion(),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
        QDir().mkpath(folder);
        const QString path = folder + QLatin1Char('/') + QLatin1String(name) + ".png";
        ASSERT_TRUE(picture.save(path)) << path.toStdString();
    }

    const QString folder =
        QStringLiteral(BLINKWIT_SETTINGS_PICTURES "/") + QGuiApplication::platformName();
    InMemoryDefaultsStore store;
    AppSettings settings{store};
    UnavailableHotKeyBackend backend;
    std::ostringstream log;
    KeyboardShortcuts::Registry shortcuts{store, backend, log};
    QTemporaryDir config;
    AutostartEntry autostart{config.filePath("autostart/com.blinkwit.app.desktop"), QString()};
    Testing::UpdateRig updates;
    // Last checked three hours ago.
    const bool checkedBefore = [this] {
        updates.defaults.setValue(UpdateChecker::lastCheckKey,
                                  QDateTime::currentDateTimeUtc().addSecs(-3 * 3600));
        return true;
    }();
    UpdateChecker checker{updates.services({"1.4.2", "a1b2c3d"}, config.path())};
    SettingsWindowController controller{
        {settings, shortcuts, autostart, &checker, QStringLiteral("1.4.2 (57) · a1b2c3d"), [] {}}};
};

TEST_F(SettingsPicturesTest, DarkAndLightPalettes) {
    settings.setAccentHex(QStringLiteral("#FFB000"));
    settings.setWpm(450);
    save("01-dark", darkPalette());
    settings.setAccentHex(QStringLiteral("#D70015"));
    settings.setDarkTheme(false);
    save("02-light", QApplication::style()->standardPalette());
}

TEST_F(SettingsPicturesTest, UpdateAvailable) {
    checker.check(true);
    updates.http.answer(
        200,
        R"({"version":"1.5.0","build":"61","commit":"e4f5a6b","dmg":"https://u.example/B.tar"})");
    save("03-update-available", darkPalette());
}

} // namespace
