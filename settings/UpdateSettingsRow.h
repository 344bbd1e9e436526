#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace Blinkwit {

class UpdateChecker;

// The settings window's update row: the running build, a status line that follows the update
// checker, and one button to check or to open the update window.
class UpdateSettingsRow final : public QWidget {
    Q_OBJECT
public:
    // displayString: the running build; showUpdateWindow: brings the update window forward.
    UpdateSettingsRow(UpdateChecker& checker, const QString& displayString,
                      std::function<void()> showUpdateWindow, QWidget* parent = nullptr);

protected:
    // "3 hours ago" ages: the status line is written anew whenever the window comes forward.
    bool event(QEvent* event) override;

private:
    void present();
    void act();

    UpdateChecker& checker_;
    std::function<void()> showUpdateWindow_;
    QLabel* status_;
    QPushButton* button_;
};

} // namespace Blinkwit
