#include <gtest/gtest.h>

#include "app/inputbackendchoice.h"

namespace {

using namespace InputBackendChoice;

struct ChoiceRow {
    const char *name;
    Offer offer;
    Shortcut shortcut;
    Paste paste;
    const char *shortcutLine;
    const char *pasteLine;
};

class InputBackendChoiceTest : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(InputBackendChoiceTest, picks_by_what_the_session_offers_and_says_why)
{
    const ChoiceRow &row = GetParam();
    const Choice choice = choose(row.offer);
    EXPECT_EQ(choice.shortcut, row.shortcut);
    EXPECT_EQ(choice.paste, row.paste);
    EXPECT_EQ(choice.shortcutLine.toStdString(), row.shortcutLine);
    EXPECT_EQ(choice.pasteLine.toStdString(), row.pasteLine);
}

const char *const kX11Shortcut = "Platform: shortcut via X11 key grabs (X11 session)";
const char *const kXTest = "Platform: paste keys via XTEST (X11 session)";
const char *const kDesktopOwned = "Platform: shortcut owned by the desktop (Wayland session without a GlobalShortcuts "
                                  "portal); bind it to \"bramblet toggle\" there";
const char *const kPortalShortcut =
    "Platform: shortcut via the GlobalShortcuts portal (Wayland session, portal version 1)";
const char *const kVirtualKeyboard =
    "Platform: paste keys via the virtual-keyboard protocol (Wayland session, offered by the compositor)";
const char *const kRemoteDesktop = "Platform: paste keys via the RemoteDesktop portal (Wayland session without the "
                                   "virtual-keyboard protocol, portal version 2)";

INSTANTIATE_TEST_SUITE_P(
    Sessions, InputBackendChoiceTest,
    ::testing::Values(
        ChoiceRow{"x11_session_ignores_the_portals", Offer{false, 1u, 2u, true}, Shortcut::X11KeyGrab, Paste::XTest,
                  kX11Shortcut, kXTest},
        ChoiceRow{"sway_virtual_keyboard_no_shortcut_portal", Offer{true, std::nullopt, std::nullopt, true},
                  Shortcut::DesktopOwned, Paste::VirtualKeyboard, kDesktopOwned, kVirtualKeyboard},
        ChoiceRow{"hyprland_portal_and_virtual_keyboard_prefers_the_keyboard", Offer{true, 1u, 2u, true},
                  Shortcut::GlobalShortcutsPortal, Paste::VirtualKeyboard, kPortalShortcut, kVirtualKeyboard},
        ChoiceRow{"older_gnome_remote_desktop_only", Offer{true, std::nullopt, 2u, false}, Shortcut::DesktopOwned,
                  Paste::RemoteDesktopPortal, kDesktopOwned, kRemoteDesktop}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
