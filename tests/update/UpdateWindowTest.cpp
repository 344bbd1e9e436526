#include "update/UpdateWindow.h"

#include "UpdateFakes.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"
#include "update/UpdateChecker.h"
#include "update/UpdatePresentation.h"
#include "update/UpdateTexts.h"
#include "update/UpdateWindowController.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Presentation = UpdatePresentation;
using Action = Presentation::Action;

BuildManifest manifest(std::optional<QString> notes) {
    return {"1.4.2", "57", "c", QUrl("https://u.example/B.tar"), {}, notes, {}};
}

TEST(UpdatePresentation, EveryStateHasItsTitleDetailAndButtons) {
    const QString path = "/home/u/Applications/Blinkwit.app";
    const QList<Presentation::Button> closeOnly{{"Close", Action::close, false}};
    const QList<Presentation::Button> concluded{{"Close", Action::close, false},
                                                {"Check Again", Action::checkAgain, true}};
    const struct {
        UpdateState state;
        Presentation::Icon icon;
        QString title;
        Presentation::Detail detail;
        QString text;
        QList<Presentation::Button> buttons;
    } cases[] = {
        {UpdateState::idle(), Presentation::Icon::checking, "Checking for updates",
         Presentation::Detail::secondaryText, "Looking for a newer build…", closeOnly},
        {UpdateState::checking(), Presentation::Icon::checking, "Checking for updates",
         Presentation::Detail::secondaryText, "Looking for a newer build…", closeOnly},
        {UpdateState::upToDate(), Presentation::Icon::upToDate, "Blinkwit is up to date",
         Presentation::Detail::secondaryText, UpdateTexts::latest, concluded},
        {UpdateState::failed("No route."), Presentation::Icon::failed, "Couldn't check for updates",
         Presentation::Detail::errorText, "No route.", concluded},
        {UpdateState::available(manifest(" Faster.\n\n")),
         Presentation::Icon::available,
         "Blinkwit 1.4.2 is available",
         Presentation::Detail::notes,
         "Faster.",
         {{"Later", Action::close, false}, {"Install 1.4.2 and Restart", Action::install, true}}},
        {UpdateState::available(manifest("\n \n")),
         Presentation::Icon::available,
         "Blinkwit 1.4.2 is available",
         Presentation::Detail::notes,
         "A new build is ready to install.",
         {{"Later", Action::close, false}, {"Install 1.4.2 and Restart", Action::install, true}}},
        {UpdateState::downloading(0.999), Presentation::Icon::checking, "Checking for updates",
         Presentation::Detail::progress, "Downloading — 99%", closeOnly},
        {UpdateState::downloading(0.456), Presentation::Icon::checking, "Checking for updates",
         Presentation::Detail::progress, "Downloading — 45%", closeOnly},
        {UpdateState::verifying(), Presentation::Icon::checking, "Checking for updates",
         Presentation::Detail::busy, "Checking the signature on the download…", closeOnly},
        {UpdateState::readyToRestart(), Presentation::Icon::checking, "Checking for updates",
         Presentation::Detail::busy, "Installing. Blinkwit will quit and come back in a second.",
         closeOnly},
    };
    for (const auto& each : cases) {
        const Presentation shown = Presentation::of(each.state, path);
        const std::string kind = std::to_string(int(each.state.kind));
        EXPECT_EQ(shown.icon, each.icon) << kind;
        EXPECT_EQ(shown.accentIcon, each.icon == Presentation::Icon::available) << kind;
        EXPECT_EQ(shown.title, each.title) << kind;
        EXPECT_EQ(shown.detail, each.detail) << kind;
        EXPECT_EQ(shown.text, each.text) << kind;
        EXPECT_EQ(shown.buttons, each.buttons) << kind;
    }
    EXPECT_EQ(Presentation::of(UpdateState::available(manifest({})), path).note,
              "Installing replaces the copy at " + path +
                  " — it doesn't leave a second Blinkwit behind. The old one goes to your Trash, "
                  "and the app restarts on its own.");
}

class UpdateWindowTest : public ::testing::Test {
protected:
    QStringList buttons() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList texts;
        for (const QPushButton* button : controller.window()->findChildren<QPushButton*>())
            texts.append(button->text() + (button->isDefault() ? "*" : ""));
        return texts;
    }
    bool showsText(const QString& text) {
        const auto labels = controller.window()->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(),
                           [&](const QLabel* label) { return label->text() == text; });
    }
    void pressReturn() {
        QTest::keyClick(controller.window(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    Testing::FakeHttpClient http;
    Testing::ManualScheduler scheduler;
    InMemoryDefaultsStore defaults;
    Testing::FakeInstaller installer;
    UpdateChecker checker{{http,
                           scheduler,
                           defaults,
                           installer,
                           [] { return true; },
                           {"1.4.1", "c"},
                           QUrl("https://u.example/build.json"),
                           QDir::tempPath()}};
    UpdateWindowController controller{checker, "1.4.1 (56) · c", "/opt/Blinkwit.app"};
};

TEST_F(UpdateWindowTest, OpensCheckingAndReturnPressesTheDefaultButtonOfEachState) {
    controller.show();
    UpdateWindow* window = controller.window();
    EXPECT_EQ(window->windowTitle(), "Software Update");
    EXPECT_EQ(window->width(), UpdateWindow::fixedWidth);
    EXPECT_TRUE(showsText("You're running 1.4.1 (56) · c"));
    ASSERT_EQ(http.gets.size(), 1u);
    EXPECT_EQ(buttons(), QStringList{"Close"});

    http.answer(404, {});
    EXPECT_TRUE(showsText("Couldn't check for updates"));
    EXPECT_EQ(buttons(), (QStringList{"Close", "Check Again*"}));
    pressReturn();
    EXPECT_EQ(http.gets.size(), 2u);

    http.answer(200,
                R"({"version":"1.4.2","build":"57","commit":"d","dmg":"https://u.example/B.tar"})");
    EXPECT_EQ(buttons(), (QStringList{"Later", "Install 1.4.2 and Restart*"}));
    EXPECT_TRUE(showsText("A new build is ready to install."));
    pressReturn();
    EXPECT_EQ(http.downloads.size(), 1u);
    EXPECT_EQ(checker.state(), UpdateState::downloading(0.0));
    EXPECT_TRUE(showsText("Downloading — 0%"));

    window->close();
    controller.show();
    EXPECT_EQ(controller.window(), window);
    EXPECT_EQ(http.gets.size(), 2u);
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace Blinkwit
