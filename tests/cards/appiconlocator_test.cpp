// Application icons found from desktop entries by desktop-file id or WM_CLASS.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "cards/appiconlocator.h"

namespace {

class AppIconLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *sub : {"applications/kde", "icons/hicolor/48x48/apps", "pixmaps"})
            QDir(dir.path()).mkpath(QString::fromLatin1(sub));
        writeIcon("icons/hicolor/48x48/apps/texteditor.png", Qt::red);
        writeIcon("pixmaps/oldapp.png", Qt::green);
        writeIcon("absolute.png", Qt::blue);
        writeDesktop("org.example.TextEditor", "Icon=texteditor\n");
        writeDesktop("org.example.Terminal", "Icon=oldapp\nStartupWMClass=Example-terminal\n");
        writeDesktop("kde/konsolish", "Icon=" + dir.filePath(QStringLiteral("absolute.png")).toUtf8() + "\n");
        writeDesktop("noicon", "");
        writeDesktop("gone", "Icon=texteditor\nHidden=true\n");
        writeDesktop("broken", "Icon=no-such-icon-anywhere\n");
    }

    void writeIcon(const char *rel, const QColor &c)
    {
        QImage img(32, 32, QImage::Format_ARGB32);
        img.fill(c);
        ASSERT_TRUE(img.save(dir.filePath(QString::fromLatin1(rel))));
    }
    void writeDesktop(const char *id, const QByteArray &lines)
    {
        QFile f(dir.filePath(QStringLiteral("applications/%1.desktop").arg(QString::fromLatin1(id))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nType=Application\nName=X\n" + lines + "[Desktop Action new]\nIcon=wrong\n");
    }

    QTemporaryDir dir;
};

TEST_F(AppIconLocatorTest, ResolvesByDesktopFileIdOrWmClass)
{
    const std::pair<const char *, QRgb> rows[] = { // 0: no icon
        {"org.example.TextEditor", 0xffff0000u},
        {"org.example.TextEditor.desktop", 0xffff0000u},
        {"Example-terminal", 0xff00ff00u},       // StartupWMClass
        {"ORG.EXAMPLE.TEXTEDITOR", 0xffff0000u}, // WM_CLASS matching the id in any case
        {"TextEditor", 0xffff0000u},             // WM_CLASS matching the id's last component
        {"kde-konsolish", 0xff0000ffu},          // id of a subfolder entry, icon by absolute path
        {"noicon", 0},
        {"gone", 0}, // a hidden entry is no application
        {"broken", 0},
        {"org.example.Nothing", 0},
        {"", 0}};
    AppIconLocator locator({dir.path()});
    for (const auto &[appId, colour] : rows) {
        const auto icon = locator.iconFor(QString::fromUtf8(appId));
        ASSERT_EQ(icon.has_value(), colour != 0) << appId;
        if (icon) {
            EXPECT_EQ(icon->pixel(icon->width() / 2, icon->height() / 2) | 0xff000000u, colour) << appId;
        }
    }

    // A program installed later is found; the folder's time stamp is moved on
    // so that even a coarse file system shows the change.
    EXPECT_FALSE(locator.desktopFileFor(QStringLiteral("org.example.Later")));
    writeDesktop("org.example.Later", "Icon=texteditor\n");
    const std::filesystem::path apps = dir.filePath(QStringLiteral("applications")).toStdString();
    std::filesystem::last_write_time(apps, std::filesystem::last_write_time(apps) + std::chrono::seconds(5));
    EXPECT_TRUE(locator.desktopFileFor(QStringLiteral("org.example.Later")));
}

} // namespace
