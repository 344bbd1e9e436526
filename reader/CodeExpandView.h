#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace Blinkwit {

class AppSettings;

// An expanded code block: its text verbatim in a scrollable, selectable monospaced box, with a
// hint on how to collapse it.
class CodeExpandView final : public QWidget {
    Q_OBJECT
public:
    explicit CodeExpandView(const AppSettings& settings, QWidget* parent = nullptr);

    static constexpr int padding = 12;
    static constexpr double cornerRadius = 10;
    static constexpr double textOpacity = 0.92;

    void setCode(const QString& code);
    QString code() const;
    QPlainTextEdit* textView() const { return text_; }
    static QString hintText();
    // Re-reads the theme's colours.
    void refreshColours();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static int hintRowHeight();

    const AppSettings& settings_;
    QPlainTextEdit* text_;
};

} // namespace Blinkwit
