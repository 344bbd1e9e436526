#include "update/UpdateWindow.h"

#include "UpdateFakes.h"
#include "update/UpdateChecker.h"
#include "update/UpdatePresentation.h"
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

TEST(UpdatePresentation, DerivesTitlesNotesPercentagesAndButtonsFromTheState) {
    const auto of = [](const UpdateState& state) {
        return Presentation::of(state, "/opt/Blinkwit.app");
    };
    const QList<Presentation::Button> closeOnly{{"Close", Action::close, false}};
    for (const UpdateState& working :
         {UpdateState::idle(), UpdateState::checking(), UpdateState::downloading(0.5),
          UpdateState::verifying(), UpdateState::readyToRestart()}) {
        EXPECT_EQ(of(working).title, "Checking for updates");
        EXPECT_EQ(of(working).buttons, closeOnly);
    }
    EXPECT_EQ(of(UpdateState::downloading(0.999)).text, "Downloading — 99%");
    EXPECT_EQ(of(UpdateState::downloading(0.456)).text, "Downloading — 45%");

    EXPECT_EQ(of(UpdateState::available(manifest(" Faster.\n\n"))).text, "Faster.");
    for (const auto& notes : {std::optional<QString>("\n \n"), std::optional<QString>()})
        EXPECT_EQ(of(UpdateState::available(manifest(notes))).text,
                  "A new build is ready to install.");
    const Presentation available = of(UpdateState::available(manifest({})));
    EXPECT_TRUE(available.accentIcon);
    EXPECT_EQ(available.buttons,
              (QList<Presentation::Button>{{"Later", Action::close, false},
                                           {"Install 1.4.2 and Restart", Action::install, true}}));
    EXPECT_TRUE(available.note.startsWith("Installing replaces the copy at /opt/Blinkwit.app — "));

    const Presentation failed = of(UpdateState::failed("No route."));
    EXPECT_EQ(failed.detail, Presentation::Detail::errorText);
    EXPECT_EQ(failed.buttons, of(UpdateState::upToDate()).buttons);
    EXPECT_EQ(failed.buttons.value(1),
              (Presentation::Button{"Check Again", Action::checkAgain, true}));
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

    Testing::UpdateRig rig;
    Testing::FakeHttpClient& http = rig.http;
    UpdateChecker checker{rig.services({"1.4.1", "c"})};
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
