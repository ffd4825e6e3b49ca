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
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("applications/kde"));
        QDir(dir.path()).mkpath(QStringLiteral("icons/hicolor/48x48/apps"));
        QDir(dir.path()).mkpath(QStringLiteral("pixmaps"));
        writeIcon(QStringLiteral("icons/hicolor/48x48/apps/texteditor.png"), Qt::red, 48);
        writeIcon(QStringLiteral("pixmaps/oldapp.png"), Qt::green, 32);
        writeIcon(QStringLiteral("absolute.png"), Qt::blue, 64);
        writeDesktop(QStringLiteral("applications/org.example.TextEditor.desktop"), QStringLiteral("texteditor"));
        writeDesktop(QStringLiteral("applications/org.example.Terminal.desktop"), QStringLiteral("oldapp"),
                     QStringLiteral("StartupWMClass=Example-terminal\n"));
        writeDesktop(QStringLiteral("applications/kde/konsolish.desktop"), dir.filePath(QStringLiteral("absolute.png")));
        writeDesktop(QStringLiteral("applications/noicon.desktop"), QString());
        writeDesktop(QStringLiteral("applications/gone.desktop"), QStringLiteral("texteditor"),
                     QStringLiteral("Hidden=true\n"));
        writeDesktop(QStringLiteral("applications/broken.desktop"), QStringLiteral("no-such-icon-anywhere"));
    }

    void writeIcon(const QString &rel, const QColor &c, int size)
    {
        QImage img(size, size, QImage::Format_ARGB32);
        img.fill(c);
        ASSERT_TRUE(img.save(dir.filePath(rel)));
    }
    void writeDesktop(const QString &rel, const QString &icon, const QString &extra = {})
    {
        QFile f(dir.filePath(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=X\n");
        if (!icon.isEmpty())
            text += QStringLiteral("Icon=") + icon + u'\n';
        text += extra;
        text += QStringLiteral("[Desktop Action new]\nIcon=wrong\n");
        f.write(text.toUtf8());
    }

    QTemporaryDir dir;
};

struct IconCase
{
    const char *name;
    const char *appId;
    QRgb color; // 0: no icon
};

class AppIconLookup : public AppIconLocatorTest, public ::testing::WithParamInterface<IconCase> {};

TEST_P(AppIconLookup, Resolves)
{
    AppIconLocator locator({dir.path()});
    const auto icon = locator.iconFor(QString::fromUtf8(GetParam().appId));
    if (!GetParam().color) {
        EXPECT_FALSE(icon.has_value());
        return;
    }
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->pixel(icon->width() / 2, icon->height() / 2) | 0xff000000u, GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, AppIconLookup,
    ::testing::Values(IconCase{"desktop_file_id", "org.example.TextEditor", 0xffff0000u},
                      IconCase{"desktop_file_id_with_suffix", "org.example.TextEditor.desktop", 0xffff0000u},
                      IconCase{"wm_class_via_startup_wm_class", "Example-terminal", 0xff00ff00u},
                      IconCase{"wm_class_matching_id_case_insensitively", "ORG.EXAMPLE.TEXTEDITOR", 0xffff0000u},
                      IconCase{"wm_class_matching_last_id_component", "TextEditor", 0xffff0000u},
                      IconCase{"subfolder_id_with_dash_and_absolute_icon", "kde-konsolish", 0xff0000ffu},
                      IconCase{"entry_without_icon", "noicon", 0},
                      IconCase{"hidden_entry_is_not_an_application", "gone", 0},
                      IconCase{"icon_name_not_found", "broken", 0},
                      IconCase{"unknown_application", "org.example.Nothing", 0},
                      IconCase{"empty_id", "", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AppIconLocatorTest, ProgramInstalledLaterIsFound)
{
    AppIconLocator locator({dir.path()});
    EXPECT_FALSE(locator.desktopFileFor(QStringLiteral("org.example.Later")));
    writeDesktop(QStringLiteral("applications/org.example.Later.desktop"), QStringLiteral("texteditor"));
    // Make sure the folder's time stamp moves even on coarse file systems.
    const std::filesystem::path apps = dir.filePath(QStringLiteral("applications")).toStdString();
    std::filesystem::last_write_time(apps, std::filesystem::last_write_time(apps) + std::chrono::seconds(5));
    EXPECT_TRUE(locator.desktopFileFor(QStringLiteral("org.example.Later")));
}

} // namespace
