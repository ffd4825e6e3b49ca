#include <gtest/gtest.h>

#include "app/inputbackendchoice.h"

namespace {

using namespace InputBackendChoice;

// The other choices, and their start-up lines, are made in the end-to-end tests.
TEST(InputBackendChoiceTest, picks_by_what_the_session_offers)
{
    const struct {
        const char *name;
        Offer offer;
        Shortcut shortcut;
        Paste paste;
    } rows[] = {
        {"x11_session_ignores_the_portals", {false, 1u, 2u, true}, Shortcut::X11KeyGrab, Paste::XTest},
        {"portal_and_virtual_keyboard_prefers_the_keyboard", {true, 1u, 2u, true}, Shortcut::GlobalShortcutsPortal,
         Paste::VirtualKeyboard}};

    for (const auto &row : rows) {
        const Choice choice = choose(row.offer);
        EXPECT_EQ(choice.shortcut, row.shortcut) << row.name;
        EXPECT_EQ(choice.paste, row.paste) << row.name;
    }
}

} // namespace
