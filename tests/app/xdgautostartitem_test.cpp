// The autostart entry behind "Lancer au démarrage" / "Ouvrir au démarrage".
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/x11/xdgautostartitem.h"

namespace {

TEST(XdgAutostartItemTest, switching_on_writes_the_entry_off_removes_it_and_a_hidden_or_unwritable_entry_is_off)
{
    QTemporaryDir dir;
    XdgAutostartItem item(QStringLiteral("/usr/bin/bramblet"), dir.path());
    EXPECT_EQ(item.entryPath(), dir.path() + QStringLiteral("/autostart/org.bramblet.Bramblet.desktop"));
    EXPECT_FALSE(item.isEnabled());
    ASSERT_TRUE(item.setEnabled(true));
    EXPECT_TRUE(item.isEnabled());
    QFile file(item.entryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    file.close();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nExec=/usr/bin/bramblet\n"));
    ASSERT_TRUE(item.setEnabled(false));
    EXPECT_FALSE(QFile::exists(item.entryPath()));
    EXPECT_TRUE(item.setEnabled(false)); // already off

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nExec=bramblet\nHidden=true\n");
    file.close();
    EXPECT_FALSE(item.isEnabled());

    // Spaces and percent signs in the program's path are quoted.
    EXPECT_TRUE(XdgAutostartItem::entryText(QStringLiteral("/opt/My Apps/bramblet$1%"))
                    .contains("\nExec=\"/opt/My Apps/bramblet\\$1%%\"\n"));
    EXPECT_TRUE(XdgAutostartItem::entryText(QStringLiteral("/opt/a%b")).contains("\nExec=/opt/a%%b\n"));

    // A file where the autostart folder should be makes the folder impossible.
    QTemporaryDir blocked;
    QFile blocker(blocked.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    XdgAutostartItem unwritable(QStringLiteral("/usr/bin/bramblet"), blocked.path());
    EXPECT_FALSE(unwritable.setEnabled(true)) << "the failure is reported";
    EXPECT_FALSE(unwritable.isEnabled());
}

} // namespace
