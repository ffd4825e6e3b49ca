// A plain X client for the end-to-end tests: one text field that saves what
// it holds to the file named by its first argument after every change, so a
// test can see what was pasted into it. Prints "READY" once it is shown.
#include <cstdio>

#include <QApplication>
#include <QPlainTextEdit>
#include <QSaveFile>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bramblet-paste-target"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    const QString outPath = QString::fromLocal8Bit(argv[1]);

    QPlainTextEdit edit;
    edit.setWindowTitle(QStringLiteral("Bramblet paste target"));
    edit.resize(500, 300);
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
