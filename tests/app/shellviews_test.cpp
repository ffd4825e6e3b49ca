// The menu-bar panel, the settings window and its panes, driven as a person
// would (clicks, pickers) under the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "app/cdgeneralpane.h"
#include "app/cdprivacypane.h"
#include "app/cdsettingsrootview.h"
#include "app/cdshortcutspane.h"
#include "app/cdsoundspane.h"
#include "app/clearhistorydialog.h"
#include "app/keyboardcommands.h"
#include "app/menubarview.h"
#include "app/settingsheader.h"
#include "app/settingswindowcontroller.h"
#include "app/shellstyle.h"
#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/shortcutrecorder.h"
#include "platform/fake/fakeglobalshortcutservice.h"
#include "shellfixture.h"
#include "styling/toggleswitch.h"

namespace {

QStringList texts(const QWidget *root)
{
    QStringList out;
    for (const QLabel *l : root->findChildren<QLabel *>())
        out << l->text();
    for (const QAbstractButton *b : root->findChildren<QAbstractButton *>())
        out << b->text();
    return out;
}

bool hasText(const QWidget *root, const QString &text) { return texts(root).contains(text); }

// 3 pinned, 4 unpinned in folders, 5 unpinned in no folder.
QList<ClipboardItem> twelveClips(const ClipboardFolder &folder)
{
    QList<ClipboardItem> items;
    for (int i = 0; i < 3; ++i)
        items << makeClip(QStringLiteral("pinned %1").arg(i), i, true, i == 0 ? std::optional(folder.id) : std::nullopt);
    for (int i = 0; i < 4; ++i)
        items << makeClip(QStringLiteral("folder %1").arg(i), 10 + i, false, folder.id);
    for (int i = 0; i < 5; ++i)
        items << makeClip(QStringLiteral("recent %1").arg(i), 20 + i);
    return items;
}

TEST(ClearHistoryDialogTest, counts_five_recents_and_nine_unpinned)
{
    ShellFixture fx;
    const ClipboardFolder folder = makeFolder(QStringLiteral("Dossier"));
    fx.start(twelveClips(folder), {folder});
    ClearHistoryDialog dialog(*fx.store);
    EXPECT_EQ(dialog.recentsButton()->text(), QStringLiteral("Effacer seulement les récents (5)"));
    EXPECT_EQ(dialog.allButton()->text(), QStringLiteral("Tout effacer même ceux dans les dossiers (9)"));
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("Annuler"));
    EXPECT_EQ(dialog.informativeText(), QStringLiteral("Les éléments épinglés ne seront jamais supprimés."));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Effacer l’historique"));
}

struct ClearRow {
    const char *name;
    int button; // 0 recents, 1 all, 2 cancel
    int remaining;
};

class ClearChoice : public ::testing::TestWithParam<ClearRow>
{
};

TEST_P(ClearChoice, button_does_what_it_says)
{
    ShellFixture fx;
    const ClipboardFolder folder = makeFolder(QStringLiteral("Dossier"));
    fx.start(twelveClips(folder), {folder});
    ClearHistoryDialog dialog(*fx.store);
    dialog.open();
    QAbstractButton *buttons[] = {dialog.recentsButton(), dialog.allButton(), dialog.cancelButton()};
    QTest::mouseClick(buttons[GetParam().button], Qt::LeftButton);
    EXPECT_EQ(fx.store->items().size(), GetParam().remaining);
    EXPECT_EQ(fx.store->folders().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Buttons, ClearChoice,
                         ::testing::Values(ClearRow{"recents_only_keeps_pinned_and_folders", 0, 7},
                                           ClearRow{"all_keeps_only_pinned", 1, 3},
                                           ClearRow{"cancel_keeps_everything", 2, 12}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(GeneralPaneTest, texts_and_initial_state)
{
    ShellFixture fx;
    fx.start();
    fx.loginItem.enabled = true;
    CDGeneralPane pane(fx.context);
    for (const char *t : {"Bramblet garde votre presse-papiers à portée de main.", "Afficher l’Overlay", "Démarrage",
                          "Ouvrir au démarrage", "Exécuter en arrière-plan", "Historique", "Conserver l’historique",
                          "Effacer l’historique…"})
        EXPECT_TRUE(hasText(&pane, QString::fromUtf8(t))) << t;
    EXPECT_TRUE(pane.launchAtLoginSwitch()->isOn());
    EXPECT_TRUE(pane.runInBackgroundSwitch()->isOn());
    EXPECT_EQ(pane.keepHistoryPicker()->currentText(), QStringLiteral("Toujours"));
    QStringList options;
    for (int i = 0; i < pane.keepHistoryPicker()->count(); ++i)
        options << pane.keepHistoryPicker()->itemText(i);
    EXPECT_EQ(options, HistoryRetention::choices());
}

TEST(GeneralPaneTest, login_switch_registers_and_a_failure_beeps_but_keeps_the_value)
{
    ShellFixture fx;
    fx.start();
    CDGeneralPane pane(fx.context);
    QTest::mouseClick(pane.launchAtLoginSwitch(), Qt::LeftButton);
    EXPECT_TRUE(fx.loginItem.enabled);
    EXPECT_EQ(fx.beeps, 0);
    fx.loginItem.failWrites = true;
    QTest::mouseClick(pane.launchAtLoginSwitch(), Qt::LeftButton);
    EXPECT_EQ(fx.beeps, 1);
    EXPECT_FALSE(pane.launchAtLoginSwitch()->isOn());
    EXPECT_TRUE(fx.loginItem.enabled);
}

TEST(GeneralPaneTest, picker_stores_the_rule_and_buttons_act)
{
    ShellFixture fx;
    fx.start({makeClip("ancien", 0)});
    CDGeneralPane pane(fx.context);
    pane.keepHistoryPicker()->setCurrentText(QStringLiteral("Jour"));
    EXPECT_EQ(fx.retention->keep(), QStringLiteral("Jour"));
    EXPECT_TRUE(fx.store->items().isEmpty());
    QTest::mouseClick(pane.overlayButton(), Qt::LeftButton);
    EXPECT_EQ(fx.toggles, 1);
    QTest::mouseClick(pane.clearButton(), Qt::LeftButton);
    ASSERT_NE(pane.confirmDialog(), nullptr);
    EXPECT_TRUE(pane.confirmDialog()->isVisible());
}

TEST(GeneralPaneTest, greeting_name_falls_back_to_host_then_la)
{
    EXPECT_EQ(CDGeneralPane::greetingName(QStringLiteral(" Ada Lovelace "), QStringLiteral("host")), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(CDGeneralPane::greetingName(QStringLiteral("  "), QStringLiteral("atelier")), QStringLiteral("atelier"));
    EXPECT_EQ(CDGeneralPane::greetingName(QString(), QString()), QStringLiteral("là"));
}

TEST(SoundsPaneTest, starts_from_settings_and_writes_changes)
{
    ShellFixture fx;
    fx.start();
    CDSoundsPane pane(fx.context);
    EXPECT_TRUE(pane.enabledSwitch()->isOn());
    EXPECT_EQ(pane.picker()->currentText(), QStringLiteral("Pop"));
    EXPECT_EQ(pane.picker()->count(), 14);
    EXPECT_EQ(pane.tip()->text(),
              QStringLiteral("Astuce : tu peux ajouter tes propres sons dans ~/.local/share/sounds (format .wav ou .ogg)."));
    QTest::mouseClick(pane.enabledSwitch(), Qt::LeftButton);
    EXPECT_EQ(fx.defaults.boolValue("bramblet.sound.enabled"), false);
    pane.picker()->setCurrentText(QStringLiteral("Submarine"));
    EXPECT_EQ(fx.defaults.stringValue("bramblet.sound.name"), QStringLiteral("Submarine"));
    QTest::mouseClick(pane.previewButton(), Qt::LeftButton);
    ASSERT_EQ(fx.played.size(), 1);
    EXPECT_EQ(fx.played.first(), QUrl(QStringLiteral("qrc:/sounds/Submarine.wav")));
}

TEST(SoundsPaneTest, unknown_stored_name_is_shown_and_previews_nothing)
{
    ShellFixture fx;
    fx.defaults.setString("bramblet.sound.name", QStringLiteral("Mystère"));
    fx.start();
    CDSoundsPane pane(fx.context);
    EXPECT_EQ(pane.picker()->currentText(), QStringLiteral("Mystère"));
    QTest::mouseClick(pane.previewButton(), Qt::LeftButton);
    EXPECT_TRUE(fx.played.isEmpty());
}

TEST(PrivacyPaneTest, granted_banner)
{
    ShellFixture fx;
    fx.start();
    CDPrivacyPane pane(fx.context, true);
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Autorisation accordée")));
    EXPECT_EQ(pane.openButton(), nullptr);
}

TEST(PrivacyPaneTest, refused_recheck_shows_checking_then_idle)
{
    ShellFixture fx;
    fx.trusted = false;
    fx.start();
    CDPrivacyPane pane(fx.context, false);
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Autorisation requise")));
    ASSERT_NE(pane.recheckButton(), nullptr);
    EXPECT_EQ(pane.recheckButton()->text(), QStringLiteral("Re-vérifier"));
    QTest::mouseClick(pane.recheckButton(), Qt::LeftButton);
    EXPECT_EQ(pane.recheckButton()->text(), QStringLiteral("Re-vérification…"));
    EXPECT_FALSE(pane.recheckButton()->isEnabled());
    EXPECT_NE(pane.progress(), nullptr);
    fx.clock.advance(3.55);
    EXPECT_EQ(pane.recheckButton()->text(), QStringLiteral("Re-vérification…"));
    fx.clock.advance(0.1);
    EXPECT_EQ(pane.recheckButton()->text(), QStringLiteral("Re-vérifier"));
    EXPECT_TRUE(pane.recheckButton()->isEnabled());
    EXPECT_FALSE(pane.axTrusted());
}

TEST(PrivacyPaneTest, granted_during_recheck_turns_green)
{
    ShellFixture fx;
    fx.trusted = false;
    fx.start();
    CDPrivacyPane pane(fx.context, false);
    QTest::mouseClick(pane.recheckButton(), Qt::LeftButton);
    fx.trusted = true;
    fx.clock.advance(0.45);
    EXPECT_TRUE(pane.axTrusted());
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Autorisation accordée")));
}

TEST(PrivacyPaneTest, activation_rechecks_and_never_turns_back)
{
    ShellFixture fx;
    fx.trusted = false;
    fx.start();
    CDPrivacyPane pane(fx.context, false);
    pane.applicationActivated();
    EXPECT_FALSE(pane.axTrusted());
    fx.trusted = true;
    pane.applicationActivated();
    EXPECT_TRUE(pane.axTrusted());
    fx.trusted = false;
    pane.applicationActivated();
    EXPECT_TRUE(pane.axTrusted());
}

TEST(PrivacyPaneTest, open_button_runs_the_desktop_plan)
{
    ShellFixture fx;
    fx.trusted = false;
    fx.start();
    CDPrivacyPane pane(fx.context, false);
    QTest::mouseClick(pane.openButton(), Qt::LeftButton);
    ASSERT_FALSE(fx.launcher.attempts.isEmpty());
    EXPECT_EQ(fx.launcher.attempts.first(),
              (QStringList{QStringLiteral("gnome-control-center"), QStringLiteral("universal-access")}));
}

TEST(ShortcutsPaneTest, row_holds_the_recorder)
{
    ShellFixture fx;
    fx.start();
    CDShortcutsPane pane(fx.context);
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Raccourcis")));
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Raccourci pour l’Overlay")));
    ASSERT_NE(pane.recorder(), nullptr);
    EXPECT_EQ(pane.recorder()->parentWidget()->window(), pane.window());
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
    EXPECT_EQ(pane.recorder(), nullptr);
    EXPECT_EQ(recordersMade, 0);
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Raccourci pour l’Overlay")));
    EXPECT_TRUE(hasText(&pane, QStringLiteral("Géré par le bureau")));
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
    EXPECT_TRUE(pane.findChildren<QPushButton *>().isEmpty());

    const QString shots = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        CDSettingsRootView root(fx.context);
        root.setTab(CDSettingsTab::Shortcuts);
        root.grab().save(QDir(shots).filePath(QStringLiteral("settings-shortcuts-desktop.png")));
    }
}

TEST(MenuBarViewTest, a_desktop_owned_shortcut_has_no_recorder)
{
    ShellFixture fx;
    fx.start();
    fx.context.shortcutOwnedByDesktop = true;
    MenuBarView panel(fx.context);
    EXPECT_EQ(panel.recorder(), nullptr);
    EXPECT_TRUE(hasText(&panel, QStringLiteral("Géré par le bureau")));
}

TEST(SettingsRootViewTest, four_tabs_and_switching_rebuilds_the_pane)
{
    ShellFixture fx;
    fx.start();
    CDSettingsRootView root(fx.context);
    EXPECT_EQ(root.size(), QSize(900, 560));
    ASSERT_EQ(root.sidebar()->count(), 4);
    const QStringList titles{QStringLiteral("Général"), QStringLiteral("Confidentialité"), QStringLiteral("Raccourcis"),
                             QStringLiteral("Sons")};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(root.sidebar()->item(i)->text(), titles[i]);
    EXPECT_NE(qobject_cast<CDGeneralPane *>(root.pane()), nullptr);
    root.sidebar()->setCurrentRow(3);
    EXPECT_EQ(root.tab(), CDSettingsTab::Sounds);
    EXPECT_EQ(root.header()->titleText(), QStringLiteral("Sons"));
    auto *sounds = qobject_cast<CDSoundsPane *>(root.pane());
    ASSERT_NE(sounds, nullptr);
    fx.sound.setSoundName(QStringLiteral("Hero"));
    root.setTab(CDSettingsTab::Privacy);
    EXPECT_NE(qobject_cast<CDPrivacyPane *>(root.pane()), nullptr);
    root.setTab(CDSettingsTab::Sounds);
    EXPECT_EQ(qobject_cast<CDSoundsPane *>(root.pane())->picker()->currentText(), QStringLiteral("Hero"));
    EXPECT_TRUE(hasText(&root, ShellStyle::versionText()));
}

struct InsetRow {
    const char *name;
    std::optional<int> frame;
    std::optional<int> content;
    int inset;
};

class TitlebarInset : public ::testing::TestWithParam<InsetRow>
{
};

TEST_P(TitlebarInset, is_clamped)
{
    EXPECT_EQ(CDSettingsRootView::titlebarInset(GetParam().frame, GetParam().content), GetParam().inset);
}

INSTANTIATE_TEST_SUITE_P(Rows, TitlebarInset,
                         ::testing::Values(InsetRow{"sixty_points_gives_44", 620, 560, 44},
                                           InsetRow{"no_frame_gives_32", std::nullopt, std::nullopt, 32},
                                           InsetRow{"thin_frame_gives_28", 570, 560, 28},
                                           InsetRow{"usual_frame_is_kept", 590, 560, 30}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SettingsWindowControllerTest, show_twice_makes_one_window_with_the_menus)
{
    ShellFixture fx;
    fx.start();
    KeyboardCommands commands(*fx.store, [] {});
    SettingsWindowController controller(fx.context, &commands);
    controller.show();
    QWidget *first = controller.window();
    ASSERT_NE(first, nullptr);
    first->close();
    controller.show();
    EXPECT_EQ(controller.window(), first);
    EXPECT_TRUE(first->isVisible());
    auto *bar = first->findChild<QMenuBar *>();
    ASSERT_NE(bar, nullptr);
    QStringList menus;
    for (QAction *a : bar->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("Bramblet"), QStringLiteral("Sélection")}));
}

// With BRAMBLET_SCREENSHOT_DIR set, the window goes there as
// settings-shortcuts-fkey.png (docs/screenshots).
TEST(SettingsWindowControllerTest, shortcuts_pane_shows_a_recorded_function_key_by_name)
{
    ShellFixture fx;
    fx.start();
    FakeGlobalShortcutService service;
    HotKeysController hotKeys(service);
    HotKeyManager manager(hotKeys, fx.defaults, [] {});
    fx.context.makeShortcutRecorder = [&manager](QWidget *parent) -> QWidget * {
        return new ShortcutRecorder(manager, parent);
    };
    KeyboardCommands commands(*fx.store, [] {});
    SettingsWindowController controller(fx.context, &commands);
    controller.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
    controller.rootView()->setTab(CDSettingsTab::Shortcuts);
    ShortcutRecorder *recorder = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        recorder = controller.window()->findChild<ShortcutRecorder *>();
        return recorder && recorder->isVisible();
    }));

    QTest::mouseClick(recorder, Qt::LeftButton);
    // Alt+F12 as the xcb platform delivers it: evdev code 88 + 8, Mod1.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F12, Qt::AltModifier, 88 + 8, 0xffc9, 0x08);
    QApplication::sendEvent(recorder, &press);
    EXPECT_EQ(recorder->text(), QStringLiteral("⌥F12"));
    EXPECT_EQ(manager.combo()->keyCode, 111u);

    if (const QString dir = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR"); !dir.isEmpty()) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        controller.window()->grab().save(dir + QStringLiteral("/settings-shortcuts-fkey.png"));
    }
}

TEST(KeyboardCommandsTest, items_shortcuts_and_actions)
{
    ShellFixture fx;
    const ClipboardItem pinned = makeClip("épinglé", 1, true);
    fx.start({makeClip("a", 3), makeClip("b", 2), pinned});
    int settings = 0;
    KeyboardCommands commands(*fx.store, [&] { ++settings; });
    EXPECT_EQ(commands.selectAllAction()->text(), QStringLiteral("Tout sélectionner"));
    EXPECT_EQ(commands.selectAllAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    EXPECT_EQ(commands.deleteSelectionAction()->text(), QStringLiteral("Supprimer la sélection"));
    EXPECT_EQ(commands.deleteSelectionAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    EXPECT_EQ(commands.settingsAction()->text(), QStringLiteral("Réglages Bramblet…"));
    EXPECT_EQ(commands.settingsAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));

    commands.deleteSelectionAction()->trigger(); // nothing selected: nothing changes
    EXPECT_EQ(fx.store->items().size(), 3);
    commands.selectAllAction()->trigger();
    EXPECT_EQ(fx.store->selection().size(), 3);
    commands.deleteSelectionAction()->trigger();
    ASSERT_EQ(fx.store->items().size(), 1);
    EXPECT_EQ(fx.store->items().first().id, pinned.id);
    commands.settingsAction()->trigger();
    EXPECT_EQ(settings, 1);
}

TEST(KeyboardCommandsTest, ctrl_comma_in_a_window_opens_the_settings)
{
    ShellFixture fx;
    fx.start();
    int settings = 0;
    KeyboardCommands commands(*fx.store, [&] { ++settings; });
    QWidget window;
    commands.attachSettingsShortcut(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(settings, 1);
}

TEST(MenuBarViewTest, texts_size_and_granted_state)
{
    ShellFixture fx;
    fx.start();
    MenuBarView panel(fx.context);
    EXPECT_EQ(panel.size(), QSize(380, 520));
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    for (const char *t : {"Bramblet", "Général", "Raccourci Overlay", "Lancer au démarrage", "Accessibilité",
                          "Presse-papiers", "Afficher l’Overlay", "Vider les récents (sauf épinglés)", "Autres",
                          "Paramètres…", "Quitter Bramblet"})
        EXPECT_TRUE(hasText(&panel, QString::fromUtf8(t))) << t;
    EXPECT_EQ(panel.accessibilityStatus(), QStringLiteral("Autorisation accordée"));
    ASSERT_NE(panel.recorder(), nullptr);
    EXPECT_EQ(qobject_cast<QPushButton *>(panel.recorder())->text(), QStringLiteral("⌘⇧V"));
}

TEST(MenuBarViewTest, buttons_reach_the_store_overlay_settings_and_quit)
{
    ShellFixture fx;
    const ClipboardFolder folder = makeFolder(QStringLiteral("Dossier"));
    fx.start(twelveClips(folder), {folder});
    MenuBarView panel(fx.context);
    QTest::mouseClick(panel.clearButton(), Qt::LeftButton);
    EXPECT_EQ(fx.store->items().size(), 7);
    QTest::mouseClick(panel.overlayButton(), Qt::LeftButton);
    EXPECT_EQ(fx.toggles, 1);
    QTest::mouseClick(panel.settingsButton(), Qt::LeftButton);
    EXPECT_EQ(fx.settingsOpened, 1);
    QTest::mouseClick(panel.quitButton(), Qt::LeftButton);
    EXPECT_EQ(fx.quits, 1);
}

TEST(MenuBarViewTest, login_switch_failure_beeps)
{
    ShellFixture fx;
    fx.start();
    fx.loginItem.failWrites = true;
    MenuBarView panel(fx.context);
    QTest::mouseClick(panel.launchAtLoginSwitch(), Qt::LeftButton);
    EXPECT_EQ(fx.beeps, 1);
    EXPECT_EQ(fx.loginItem.requests, QList<bool>{true});
}

TEST(MenuBarViewTest, refused_permission_then_granted_after_return)
{
    ShellFixture fx;
    fx.trusted = false;
    fx.start();
    MenuBarView panel(fx.context);
    EXPECT_EQ(panel.accessibilityStatus(), QStringLiteral("Autorisation requise"));
    ASSERT_NE(panel.openSettingsButton(), nullptr);
    EXPECT_EQ(panel.openSettingsButton()->text(), QStringLiteral("Ouvrir Réglages"));
    QTest::mouseClick(panel.openSettingsButton(), Qt::LeftButton);
    EXPECT_TRUE(panel.recheckAfterReturn());
    EXPECT_TRUE(fx.launcher.attempts.isEmpty()); // queued for the next turn of the loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fx.launcher.attempts.isEmpty(); }, 2000));
    panel.applicationActivated();
    EXPECT_TRUE(panel.recheckAfterReturn());
    fx.trusted = true;
    panel.applicationActivated();
    EXPECT_FALSE(panel.recheckAfterReturn());
    EXPECT_EQ(panel.accessibilityStatus(), QStringLiteral("Autorisation accordée"));
}

TEST(MenuBarViewTest, placement_stays_on_screen_next_to_the_icon)
{
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(380, 520);
    EXPECT_EQ(MenuBarView::placement(QRect(1570, 2, 24, 24), screen, size), QPoint(1220, 31));
    EXPECT_EQ(MenuBarView::placement(QRect(10, 970, 24, 24), screen, size), QPoint(0, 444));
}

TEST(ShellStyleTest, bold_runs_become_bold_and_the_rest_is_escaped)
{
    EXPECT_EQ(ShellStyle::boldMarkup(QStringLiteral("a **b** <c>")), QStringLiteral("a <b>b</b> &lt;c&gt;"));
    EXPECT_EQ(ShellStyle::boldMarkup(QStringLiteral("open **run")), QStringLiteral("open **run"));
}

} // namespace
