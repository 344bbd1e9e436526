#pragma once

#include "UpdatePresentation.h"

#include <QDialog>

class QBoxLayout;
class QLabel;
class QPushButton;

namespace Blinkwit {

class UpdateChecker;

// "Software Update": a fixed-width dialog that shows the checker's state and offers the state's
// buttons; Return presses the default one. It keeps no state of its own. Showing it while the
// checker is idle starts a check.
class UpdateWindow final : public QDialog {
    Q_OBJECT
public:
    // displayString: the running build, as "You're running ..." names it; installedPath: the
    // bundle an installation replaces.
    UpdateWindow(UpdateChecker& checker, const QString& displayString, const QString& installedPath,
                 QWidget* parent = nullptr);

    static constexpr int fixedWidth = 440;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void present();
    QWidget* detailView(const UpdatePresentation& presentation);
    QColor textColor(UpdatePresentation::Detail detail) const;
    QPushButton* button(const UpdatePresentation::Button& button);

    UpdateChecker& checker_;
    QString installedPath_;
    QLabel* icon_;
    QLabel* title_;
    QBoxLayout* layout_;
    QWidget* detail_ = nullptr;
    QWidget* buttons_ = nullptr;
};

} // namespace Blinkwit
