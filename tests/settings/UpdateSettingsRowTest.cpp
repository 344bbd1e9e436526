#include "settings/UpdateSettingsRow.h"

#include "settings/UpdateRowPresentation.h"
#include "tests/update/UpdateFakes.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Blinkwit;

namespace {

using Action = UpdateRowPresentation::Action;

const BuildManifest newer{"1.0.1", "58", "c2", QUrl("https://u.example/B.tar"), {}, {}, {}};

TEST(UpdateRowPresentation, EveryStateHasItsStatusLineAndButton) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto of = [&](const UpdateState& state, std::optional<QDateTime> checked = {}) {
        return UpdateRowPresentation::of(state, checked, now);
    };
    const UpdateRowPresentation notChecked{"Not checked yet", false, "Check Now", Action::checkNow};
    EXPECT_EQ(of(UpdateState::idle()), notChecked);
    EXPECT_EQ(of(UpdateState::upToDate()), notChecked);
    EXPECT_EQ(of(UpdateState::upToDate(), now.addSecs(-3 * 3600)).status,
              "Up to date as of 3 hours ago");
    EXPECT_EQ(of(UpdateState::idle(), now.addSecs(-60)).status, "Up to date as of 1 minute ago");
    EXPECT_EQ(of(UpdateState::available(newer)),
              (UpdateRowPresentation{"Blinkwit 1.0.1 is ready to install", true, "Install Update…",
                                     Action::showUpdateWindow}));
    const std::pair<UpdateState, const char*> busy[] = {
        {UpdateState::checking(), "Checking for a newer build…"},
        {UpdateState::downloading(0.429), "Downloading — 42%"},
        {UpdateState::verifying(), "Verifying the download…"},
        {UpdateState::readyToRestart(), "Installing…"},
    };
    for (const auto& [state, status] : busy)
        EXPECT_EQ(of(state), (UpdateRowPresentation{status, false, "Checking…", Action::none}));
    // Any failure, a failed install's too, reads the same.
    for (const char* message : {"Couldn't reach the update server. x", "Couldn't stage it."})
        EXPECT_EQ(of(UpdateState::failed(message), now),
                  (UpdateRowPresentation{"Last check didn't get through", false, "Check Now",
                                         Action::checkNow}));
}

// The row over a real checker whose network and installer are fakes.
class UpdateSettingsRowTest : public testing::Test {
protected:
    QString status() { return row.findChild<QLabel*>("updateStatus")->text(); }
    QPushButton& button() { return *row.findChild<QPushButton*>("updateButton"); }

    QTemporaryDir temp;
    Testing::UpdateRig rig;
    Testing::FakeHttpClient& http = rig.http;
    UpdateChecker checker{rig.services({"1.0.0", "c1"}, temp.path())};
    int windowShown = 0;
    // As the update window does: showing it while nothing happened yet starts a check.
    UpdateSettingsRow row{checker, QStringLiteral("1.0.0 (57) · c1"), [this] {
                              ++windowShown;
                              if (checker.state().kind == UpdateState::Kind::idle)
                                  checker.check(true);
                          }};
};

TEST_F(UpdateSettingsRowTest, FollowsTheCheckerFromTheFirstCheckThroughADownload) {
    QStringList lines;
    for (const QLabel* label : row.findChildren<QLabel*>())
        lines.append(label->text());
    EXPECT_TRUE(lines.contains("Version 1.0.0 (57) · c1")) << lines.join('|').toStdString();
    EXPECT_EQ(status(), "Not checked yet");
    QTest::mouseClick(&button(), Qt::LeftButton);
    EXPECT_EQ(windowShown, 1);
    EXPECT_EQ(http.gets.size(), 1u) << "the update window's own check, not a second one";
    EXPECT_EQ(status(), "Checking for a newer build…");
    EXPECT_FALSE(button().isEnabled());
    EXPECT_EQ(button().text(), "Checking…");

    http.answer(
        200, R"({"version":"1.0.1","build":"58","commit":"c2","dmg":"https://u.example/B.tar"})");
    EXPECT_EQ(status(), "Blinkwit 1.0.1 is ready to install");
    EXPECT_EQ(row.findChild<QLabel*>("updateStatus")->foregroundRole(), QPalette::Highlight);
    QTest::mouseClick(&button(), Qt::LeftButton);
    EXPECT_EQ(windowShown, 2);
    EXPECT_EQ(http.gets.size(), 1u);

    checker.install(checker.state().manifest);
    http.downloads.back().progress(42, 100);
    rig.scheduler.runAll();
    EXPECT_EQ(status(), "Downloading — 42%");
    EXPECT_FALSE(button().isEnabled());
    http.downloads.back().done(QStringLiteral("The connection was refused."));
    rig.scheduler.runAll();
    EXPECT_EQ(status(), "Last check didn't get through");
    EXPECT_EQ(row.findChild<QLabel*>("updateStatus")->foregroundRole(), QPalette::PlaceholderText);

    // After a failure the button checks again itself: the window shows the outcome.
    QTest::mouseClick(&button(), Qt::LeftButton);
    EXPECT_EQ(windowShown, 3);
    ASSERT_EQ(http.gets.size(), 2u);
    http.answer(
        200, R"({"version":"1.0.0","build":"57","commit":"c1","dmg":"https://u.example/B.tar"})");
    EXPECT_TRUE(status().startsWith("Up to date as of ")) << status().toStdString();
    EXPECT_TRUE(status().endsWith(" seconds ago") || status().endsWith(" second ago"));
}

} // namespace
