// The X11 backends against a real X server with a window manager (the X11
// phase of scripts/run-tests.sh: Xvfb + openbox).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "platform/x11/desktopidresolver.h"
#include "platform/x11/x11activewindow.h"
#include "platform/x11/x11clipboard.h"
#include "platform/x11/x11connection.h"

namespace {

class X11Backends : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !X11Connection::available())
            GTEST_SKIP() << "needs an X display (run through scripts/run-tests.sh)";
    }

    // A visible, active window of ours, as the window manager placed it.
    static void showActive(QWidget &window, const QRect &geometry)
    {
        window.setGeometry(geometry);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};


// Runs xclip with `args`, in the background so this process can serve the
// selection meanwhile; returns its output once it ends.
QByteArray xclipOut(const QStringList &args)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), QStringList{QStringLiteral("-selection"), QStringLiteral("clipboard")} + args);
    EXPECT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 5000));
    return xclip.readAllStandardOutput();
}

// Starts xclip as the clipboard's owner, offering `bytes` as `type` until
// another program takes the selection.
void startOwner(QProcess &owner, const QString &type, const QByteArray &bytes)
{
    owner.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                          QStringLiteral("clipboard"), QStringLiteral("-t"), type});
    ASSERT_TRUE(owner.waitForStarted(3000));
    owner.write(bytes);
    owner.closeWriteChannel();
}

TEST_F(X11Backends, clipboard_reads_what_another_program_offers_and_offers_what_it_writes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
        GTEST_SKIP() << "xclip is not installed";
    X11Clipboard clipboard;
    QList<ClipboardOffer> offers;
    ASSERT_TRUE(clipboard.watchChanges([](const QStringList &offered) { return offered; },
                                       [&](const ClipboardOffer &offer) { offers.append(offer); }));

    const qint64 before = clipboard.changeCount();
    QProcess owner;
    startOwner(owner, QStringLiteral("text/plain"), "bonjour d’ailleurs");
    ASSERT_TRUE(QTest::qWaitFor([&] { return clipboard.changeCount() > before && !offers.isEmpty(); }, 5000));
    EXPECT_EQ(offers.last().data.value(QStringLiteral("text/plain")), QByteArray("bonjour d’ailleurs"));
    EXPECT_TRUE(clipboard.formats().contains(QStringLiteral("text/plain")));
    EXPECT_EQ(clipboard.data(QStringLiteral("text/plain")), QByteArray("bonjour d’ailleurs"));
    EXPECT_FALSE(clipboard.holdsOwnWrite());

    clipboard.write({{{QStringLiteral("text/plain"), QByteArray("écrit par nous")}}, {}});
    EXPECT_TRUE(clipboard.holdsOwnWrite());
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner.state() == QProcess::NotRunning; }, 5000)) << "xclip lost the selection";
    EXPECT_EQ(xclipOut({QStringLiteral("-o"), QStringLiteral("-t"), QStringLiteral("text/plain")}),
              QByteArray("écrit par nous"));
    const QByteArray targets = xclipOut({QStringLiteral("-o"), QStringLiteral("-t"), QStringLiteral("TARGETS")});
    EXPECT_TRUE(targets.contains(Clipboard::kOwnWriteMimeType)) << targets.toStdString();

    // An old program that offers only Latin-1 STRING still gives plain text.
    QProcess latin1;
    startOwner(latin1, QStringLiteral("STRING"), QByteArray("caf\xe9", 4));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return offers.last().data.value(QStringLiteral("text/plain")) == QByteArray("caf\xe9", 4); }, 5000));
}


TEST_F(X11Backends, active_window_follows_activation_and_names_its_desktop_file)
{
    QWidget first, second;
    showActive(first, QRect(40, 40, 300, 200));
    showActive(second, QRect(400, 40, 300, 200));
    X11ActiveWindow probe;
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.frontmost() && probe.frontmost()->id == second.winId(); }, 5000));
    const WindowRef ours = *probe.frontmost();
    EXPECT_TRUE(ours.isOwn);
    ASSERT_FALSE(ours.wmClass.isEmpty());

    // A desktop file that claims our class, on a data path of its own.
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("applications"));
    QFile entry(data.filePath(QStringLiteral("applications/org.example.Probe.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Probe\nExec=probe\nStartupWMClass=" + ours.wmClass.toUtf8() + "\n");
    entry.close();
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
}

TEST(DesktopIdResolver, maps_a_wm_class_to_the_desktop_file_of_a_data_folder)
{
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("applications/kde"));
    auto write = [&](const char *file, const QByteArray &extra) {
        QFile f(data.filePath(QString::fromUtf8(file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nType=Application\nName=X\nExec=x\n" + extra);
    };
    write("applications/org.gnome.Terminal.desktop", "StartupWMClass=Gnome-terminal\n");
    write("applications/org.example.TextEditor.desktop", {});
    write("applications/kde/konsolish.desktop", {});
    DesktopIdResolver resolver({data.path()});
    EXPECT_EQ(resolver.resolve(QStringLiteral("Gnome-terminal"), QStringLiteral("gnome-terminal-server")),
              QStringLiteral("org.gnome.Terminal"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("ORG.EXAMPLE.TEXTEDITOR"), {}), QStringLiteral("org.example.TextEditor"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("texteditor"), {}), QStringLiteral("org.example.TextEditor"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("kde-konsolish"), {}), QStringLiteral("kde-konsolish"));
    EXPECT_EQ(resolver.resolve(QStringLiteral("Firefox"), QStringLiteral("Navigator")), QString());
}


} // namespace
