// A second X client for the tests, printing "ready" once it has done its part:
//   grab KEYSYM MODIFIER-MASK   holds a key grab on the root window ("refused" if taken)
//   lineedit TEXT [select]      shows a focused line edit, its text selected when asked
//   clipboard PLAIN HTML        owns the clipboard with a plain-text and an HTML format
//   image                       owns the clipboard with a small picture (offered in many formats)
//   label TEXT                  shows TEXT large, black on white, in a frameless window at 40,40
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int grab(const QStringList& arguments) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    xcb_keycode_t* codes =
        xcb_key_symbols_get_keycode(symbols, XStringToKeysym(arguments[0].toLatin1().data()));
    const auto modifiers = std::uint16_t(arguments[1].toUInt());
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_grab_key_checked(connection, 0, root, modifiers, codes[0],
                                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    say(error ? "refused" : "ready");
    std::free(error);
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return QApplication::exec();
}

int lineEdit(const QStringList& arguments) {
    QLineEdit edit(arguments[0]);
    edit.resize(400, 40);
    edit.show();
    edit.activateWindow();
    if (arguments.value(1) == QLatin1String("select"))
        edit.selectAll();
    else
        edit.deselect();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!edit.hasFocus())
            return;
        poll.stop();
        say("ready");
    });
    poll.start(10);
    return QApplication::exec();
}

int clipboard(const QStringList& arguments) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), arguments[0].toUtf8());
    data->setData(QStringLiteral("text/html"), arguments[1].toUtf8());
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    say(QApplication::clipboard()->ownsClipboard() ? "ready" : "refused");
    return QApplication::exec();
}

int image() {
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    auto* data = new QMimeData;
    data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    say(QApplication::clipboard()->ownsClipboard() ? "ready" : "refused");
    return QApplication::exec();
}

int label(const QStringList& arguments) {
    QLabel text(arguments[0]);
    text.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    text.setStyleSheet(QStringLiteral("background: white; color: black; font: 28px 'DejaVu Sans';"
                                      "padding: 20px;"));
    text.move(40, 40);
    text.show();
    QTimer::singleShot(300, [] { say("ready"); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const QString mode = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (mode == QLatin1String("grab") && arguments.size() == 2)
        return grab(arguments);
    if (mode == QLatin1String("lineedit") && !arguments.isEmpty())
        return lineEdit(arguments);
    if (mode == QLatin1String("clipboard") && arguments.size() == 2)
        return clipboard(arguments);
    if (mode == QLatin1String("image"))
        return image();
    if (mode == QLatin1String("label") && arguments.size() == 1)
        return label(arguments);
    std::fprintf(stderr, "usage: x11_test_client grab|lineedit|clipboard|image|label ...\n");
    return 2;
}
