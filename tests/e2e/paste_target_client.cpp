// A plain client for the end-to-end tests: one text field that saves what
// it holds to the file named by its first argument after every change, so a
// test can see what was pasted into it. Prints "READY" once it is shown.
// Runs on X11 or, with QT_QPA_PLATFORM=wayland, as a native Wayland client.
//
// With --terminal=<app id> it plays a terminal emulator under that app id:
// Ctrl+Shift+V pastes the clipboard and Ctrl+V types the control character
// (shown as "^V"), as terminals do.
#include <cstdio>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSaveFile>

namespace {

class TerminalKeys final : public QObject
{
public:
    explicit TerminalKeys(QPlainTextEdit &edit) : QObject(&edit), m_edit(edit) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return QObject::eventFilter(watched, event);
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (key->key() != Qt::Key_V || !(mods & Qt::ControlModifier))
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // keep the text field's own Ctrl+V paste out of it
            return true;
        }
        m_edit.insertPlainText(mods & Qt::ShiftModifier ? QGuiApplication::clipboard()->text() : QStringLiteral("^V"));
        return true;
    }

private:
    QPlainTextEdit &m_edit;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bramblet-paste-target"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output file> [--terminal=<app id>]\n", argv[0]);
        return 2;
    }
    const QString outPath = QString::fromLocal8Bit(argv[1]);
    const QString terminalFlag = QStringLiteral("--terminal=");
    QString terminalAppId;
    if (argc >= 3 && QString::fromLocal8Bit(argv[2]).startsWith(terminalFlag))
        terminalAppId = QString::fromLocal8Bit(argv[2]).mid(terminalFlag.size());
    if (!terminalAppId.isEmpty())
        QGuiApplication::setDesktopFileName(terminalAppId); // the Wayland app_id

    QPlainTextEdit edit;
    edit.setWindowTitle(QStringLiteral("Bramblet paste target"));
    edit.resize(500, 300);
    if (!terminalAppId.isEmpty())
        edit.installEventFilter(new TerminalKeys(edit));
    QObject::connect(&edit, &QPlainTextEdit::textChanged, [&edit, outPath] {
        QSaveFile file(outPath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(edit.toPlainText().toUtf8());
            file.commit();
        }
    });
    edit.show();
    edit.activateWindow();
    std::printf("READY %llu\n", static_cast<unsigned long long>(edit.winId()));
    std::fflush(stdout);
    return app.exec();
}
