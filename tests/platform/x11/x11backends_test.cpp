// The X11 window backends against a real X server with a window manager (the
// X11 phase of scripts/run-tests.sh: Xvfb + openbox). The clipboard is run
// against other programs' copies and pastes by capture_e2e and app_e2e.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "platform/x11/desktopidresolver.h"
#include "platform/x11/x11activewindow.h"
#include "platform/x11/x11compositor.h"
#include "platform/x11/x11connection.h"

namespace {

TEST(X11ActiveWindow, follows_activation_and_names_the_desktop_file_of_a_class)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !X11Connection::available())
        GTEST_SKIP() << "needs an X display (run through scripts/run-tests.sh)";
    QWidget first, second;
    for (QWidget *window : {&first, &second}) {
        window->setGeometry(window == &first ? QRect(40, 40, 300, 200) : QRect(400, 40, 300, 200));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    X11ActiveWindow probe;
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.frontmost() && probe.frontmost()->id == second.winId(); }, 5000));
    const WindowRef ours = *probe.frontmost();
    EXPECT_TRUE(ours.isOwn);
    ASSERT_FALSE(ours.wmClass.isEmpty());

    // Desktop files on a data path of its own: one claims our class.
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("applications/kde"));
    auto write = [&](const char *file, const QByteArray &extra) {
        QFile f(data.filePath(QString::fromUtf8(file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nType=Application\nName=X\nExec=x\n" + extra);
    };
    write("applications/org.example.Probe.desktop", "StartupWMClass=" + ours.wmClass.toUtf8() + "\n");
    write("applications/org.example.TextEditor.desktop", {});
    write("applications/kde/konsolish.desktop", {});
    const QByteArray savedDirs = qgetenv("XDG_DATA_DIRS"), savedHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    qputenv("XDG_DATA_HOME", (data.path() + QStringLiteral("/none")).toUtf8());
    X11ActiveWindow active; // reads the desktop files on first use
    WindowRef target;
    target.id = quint32(first.winId());
    active.activate(target);
    const bool activated = QTest::qWaitFor([&] { return active.frontmost() && active.frontmost()->id == first.winId(); }, 5000);
    const std::optional<WindowRef> front = active.frontmost();
    qputenv("XDG_DATA_DIRS", savedDirs);
    qputenv("XDG_DATA_HOME", savedHome);
    ASSERT_TRUE(activated) << "the window manager did not activate the window we asked for";
    EXPECT_EQ(front->appId, QStringLiteral("org.example.Probe"));

    // Without a claim, the class names the file whatever its case, by the
    // last part of a reverse-DNS name, or with a subfolder's prefix.
    DesktopIdResolver resolver({data.path()});
    EXPECT_EQ(resolver.resolve(QStringLiteral("ORG.EXAMPLE.TEXTEDITOR"), {}), QStringLiteral("org.example.TextEditor"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("texteditor"), {}), QStringLiteral("org.example.TextEditor"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("kde-konsolish"), {}), QStringLiteral("kde-konsolish"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("Firefox"), QStringLiteral("Navigator")), QString());
}

// The overlay's glass is translucent only while a compositing manager runs,
// and one may start or stop at any time.
TEST(X11Compositor, sees_a_compositing_manager_start_and_stop)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !X11Connection::available())
        GTEST_SKIP() << "needs an X display (run through scripts/run-tests.sh)";
    ASSERT_FALSE(X11Compositor::isRunning()) << "a compositor already runs on this display";
    QProcess picom;
    picom.start(QStringLiteral("picom"), {QStringLiteral("--backend"), QStringLiteral("xrender")});
    ASSERT_TRUE(picom.waitForStarted(3000)) << "picom is not installed (scripts/packages.txt lists it)";
    EXPECT_TRUE(QTest::qWaitFor([] { return X11Compositor::isRunning(); }, 5000));
    picom.terminate();
    picom.waitForFinished(3000);
    EXPECT_TRUE(QTest::qWaitFor([] { return !X11Compositor::isRunning(); }, 5000));
}

} // namespace
