// The menu-bar panel, the settings panes and the clear dialog, driven as a person
// would (clicks, pickers) under the offscreen platform.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "app/cdgeneralpane.h"
#include "app/cdprivacypane.h"
#include "app/cdshortcutspane.h"
#include "app/cdsoundspane.h"
#include "app/clearhistorydialog.h"
#include "app/menubarview.h"
#include "shellfixture.h"
#include "styling/toggleswitch.h"

namespace {

using ClipSamples::text;

// A label or button under `root` shows `wanted`.
bool hasText(const QWidget *root, const QString &wanted)
{
    const QList<QWidget *> widgets = root->findChildren<QWidget *>();
    return std::any_of(widgets.cbegin(), widgets.cend(), [&](QWidget *w) { return w->property("text") == wanted; });
}

// 3 pinned, 4 unpinned in folders, 5 unpinned in no folder.
ClipboardStore &startWithTwelveClips(ShellFixture &fx)
{
    const ClipboardFolder folder = StoreFixture::folder(QStringLiteral("Dossier"));
    QList<ClipboardItem> items;
    for (int i = 0; i < 3; ++i)
        items << pinnedClip(QStringLiteral("pinned %1").arg(i), i, i == 0 ? std::optional(folder.id) : std::nullopt);
    for (int i = 0; i < 4; ++i)
        items << text(QStringLiteral("folder %1").arg(i), 10 + i, folder.id);
    for (int i = 0; i < 5; ++i)
        items << text(QStringLiteral("recent %1").arg(i), 20 + i);
    return fx.start(items, {folder});
}

TEST(ClearHistoryDialogTest, buttons_count_and_do_what_they_say)
{
    // Recents only keeps pinned and folder clips, all keeps the pinned ones, cancel everything.
    const int remaining[] = {7, 3, 12};
    for (int button = 0; button < 3; ++button) {
        ShellFixture fx;
        startWithTwelveClips(fx);
        ClearHistoryDialog dialog(*fx.store);
        EXPECT_EQ(dialog.recentsButton()->text(), QStringLiteral("Effacer seulement les récents (5)"));
        EXPECT_EQ(dialog.allButton()->text(), QStringLiteral("Tout effacer même ceux dans les dossiers (9)"));
        dialog.open();
        QAbstractButton *buttons[] = {dialog.recentsButton(), dialog.allButton(), dialog.cancelButton()};
        QTest::mouseClick(buttons[button], Qt::LeftButton);
        EXPECT_EQ(fx.store->items().size(), remaining[button]) << button;
        EXPECT_EQ(fx.store->folders().size(), 1);
    }
}

TEST(GeneralPaneTest, shows_the_settings_a_failed_login_switch_beeps_and_the_picker_and_buttons_act)
{
    ShellFixture fx;
    fx.start();
    fx.loginItem.enabled = true;
    CDGeneralPane pane(fx.context);
    EXPECT_TRUE(pane.launchAtLoginSwitch()->isOn());
    QTest::mouseClick(pane.launchAtLoginSwitch(), Qt::LeftButton);
    EXPECT_FALSE(fx.loginItem.enabled);
    fx.loginItem.failWrites = true;
    QTest::mouseClick(pane.launchAtLoginSwitch(), Qt::LeftButton);
    EXPECT_EQ(fx.beeps, 1);
    EXPECT_TRUE(pane.launchAtLoginSwitch()->isOn()) << "the switch keeps the value asked for";

    fx.store->insert(text("ancien", 0));
    pane.keepHistoryPicker()->setCurrentText(QStringLiteral("Jour"));
    EXPECT_TRUE(fx.store->items().isEmpty());
    QTest::mouseClick(pane.overlayButton(), Qt::LeftButton);
    EXPECT_EQ(fx.toggles, 1);
    QTest::mouseClick(pane.clearButton(), Qt::LeftButton);
    ASSERT_NE(pane.confirmDialog(), nullptr);
    EXPECT_TRUE(pane.confirmDialog()->isVisible());
}

TEST(SoundsPaneTest, starts_from_settings_writes_changes_and_previews)
{
    ShellFixture fx;
    fx.start();
    CDSoundsPane pane(fx.context);
    EXPECT_EQ(pane.picker()->currentText(), QStringLiteral("Pop"));
    QTest::mouseClick(pane.enabledSwitch(), Qt::LeftButton);
    EXPECT_EQ(fx.defaults.boolValue("bramblet.sound.enabled"), false);
    pane.picker()->setCurrentText(QStringLiteral("Submarine"));
    EXPECT_EQ(fx.defaults.stringValue("bramblet.sound.name"), QStringLiteral("Submarine"));
    QTest::mouseClick(pane.previewButton(), Qt::LeftButton);
    EXPECT_EQ(fx.played, QList<QUrl>{QUrl(QStringLiteral("qrc:/sounds/Submarine.wav"))});

    fx.defaults.setString("bramblet.sound.name", QStringLiteral("Mystère"));
    CDSoundsPane unknown(fx.context);
    EXPECT_EQ(unknown.picker()->currentText(), QStringLiteral("Mystère"));
    QTest::mouseClick(unknown.previewButton(), Qt::LeftButton);
    EXPECT_EQ(fx.played.size(), 1);
}

TEST(PrivacyPaneTest, recheck_shows_checking_then_idle_open_runs_the_desktop_plan_and_a_grant_stays_green)
{
    ShellFixture fx;
    fx.trusted = false;
    fx.start();
    int asked = 0;
    fx.context.isTrusted = [&] {
        ++asked;
        return fx.trusted;
    };
    CDPrivacyPane pane(fx.context, false);
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Autorisation requise")));
    asked = 0;
    QTest::mouseClick(pane.recheckButton(), Qt::LeftButton);
    EXPECT_EQ(pane.recheckButton()->text(), QStringLiteral("Re-vérification…"));
    EXPECT_FALSE(pane.recheckButton()->isEnabled());
    fx.clock.advance(3.65); // a refused permission is asked ten times over 3.6 s
    EXPECT_EQ(asked, 10);
    EXPECT_EQ(pane.recheckButton()->text(), QStringLiteral("Re-vérifier"));
    EXPECT_TRUE(pane.recheckButton()->isEnabled());

    QTest::mouseClick(pane.openButton(), Qt::LeftButton);
    ASSERT_FALSE(fx.launcher.attempts.isEmpty());
    EXPECT_EQ(fx.launcher.attempts.first(),
              (QStringList{QStringLiteral("gnome-control-center"), QStringLiteral("universal-access")}));

    QTest::mouseClick(pane.recheckButton(), Qt::LeftButton);
    fx.trusted = true;
    fx.clock.advance(0.45);
    EXPECT_TRUE(pane.axTrusted());
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Autorisation accordée")));
    fx.trusted = false;
    pane.applicationActivated();
    EXPECT_TRUE(pane.axTrusted()) << "green for good";
}

TEST(ShortcutsPaneTest, a_desktop_owned_shortcut_shows_the_binding_notice_instead_of_the_recorder)
{
    ShellFixture fx;
    fx.start();
    int recordersMade = 0;
    fx.context.makeShortcutRecorder = [&recordersMade](QWidget *parent) -> QWidget * {
        ++recordersMade;
        return new QPushButton(QStringLiteral("⌘⇧V"), parent);
    };
    fx.context.shortcutOwnedByDesktop = true;
    CDShortcutsPane pane(fx.context);
    MenuBarView panel(fx.context);
    EXPECT_EQ(recordersMade, 0);
    EXPECT_TRUE(hasText(&panel, QStringLiteral("Géré par le bureau")));
    ASSERT_NE(pane.desktopNotice(), nullptr);
    // The notice reads (and copies) as written, and at any width wider than
    // the command, the command to bind stays on one line (it used to wrap
    // between "bramblet" and "toggle").
    QTextDocument notice;
    notice.setDefaultFont(pane.desktopNotice()->font());
    notice.setHtml(pane.desktopNotice()->text());
    EXPECT_EQ(notice.toPlainText(), QStringLiteral("Sous Wayland, le raccourci appartient au bureau : liez-le à la "
                                                   "commande bramblet toggle."));
    const int command = int(notice.toPlainText().indexOf(QStringLiteral("bramblet")));
    const QTextLayout *layout = notice.firstBlock().layout();
    for (int width = 200; width <= 640; width += 8) {
        notice.setTextWidth(width);
        (void)notice.size(); // lays it out
        EXPECT_EQ(layout->lineForTextPosition(command).lineNumber(),
                  layout->lineForTextPosition(command + int(qstrlen("bramblet toggle")) - 1).lineNumber())
            << "at width " << width;
    }
}

TEST(MenuBarViewTest, buttons_act_a_refused_permission_is_rechecked_after_return_and_it_stays_on_screen)
{
    ShellFixture fx;
    startWithTwelveClips(fx);
    fx.trusted = false;
    MenuBarView panel(fx.context);
    QTest::mouseClick(panel.clearButton(), Qt::LeftButton);
    EXPECT_EQ(fx.store->items().size(), 7);
    QTest::mouseClick(panel.overlayButton(), Qt::LeftButton);
    QTest::mouseClick(panel.settingsButton(), Qt::LeftButton);
    QTest::mouseClick(panel.quitButton(), Qt::LeftButton);
    EXPECT_EQ(std::tuple(fx.toggles, fx.settingsOpened, fx.quits), std::tuple(1, 1, 1));
    fx.loginItem.failWrites = true;
    QTest::mouseClick(panel.launchAtLoginSwitch(), Qt::LeftButton);
    EXPECT_EQ(fx.beeps, 1);
    EXPECT_EQ(fx.loginItem.requests, QList<bool>{true});

    EXPECT_EQ(panel.accessibilityStatus(), QStringLiteral("Autorisation requise"));
    ASSERT_NE(panel.openSettingsButton(), nullptr);
    QTest::mouseClick(panel.openSettingsButton(), Qt::LeftButton);
    EXPECT_TRUE(fx.launcher.attempts.isEmpty()); // queued for the next turn of the loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fx.launcher.attempts.isEmpty(); }, 2000));
    panel.applicationActivated();
    EXPECT_TRUE(panel.recheckAfterReturn());
    fx.trusted = true;
    panel.applicationActivated();
    EXPECT_FALSE(panel.recheckAfterReturn());
    EXPECT_EQ(panel.accessibilityStatus(), QStringLiteral("Autorisation accordée"));

    // Under or above its tray icon, always inside the screen.
    const QRect screen(0, 0, 1600, 1000);
    EXPECT_EQ(MenuBarView::placement(QRect(1570, 2, 24, 24), screen, QSize(380, 520)), QPoint(1220, 31));
    EXPECT_EQ(MenuBarView::placement(QRect(10, 970, 24, 24), screen, QSize(380, 520)), QPoint(0, 444));
}

} // namespace
