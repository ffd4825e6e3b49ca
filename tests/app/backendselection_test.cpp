// Which backend serves each service, from the session and what the
// compositor announces.
#include <gtest/gtest.h>

#include <QSet>

#include "app/backendselection.h"

namespace {

struct SelectionRow
{
    const char *name;
    QString waylandDisplay;
    bool compositorReachable;
    QSet<QString> globals;
    QString logLine; // names the backend of each service, and why
};

class BackendSelectionTest : public ::testing::TestWithParam<SelectionRow> {};

TEST_P(BackendSelectionTest, ChoosesPerServiceAndSaysWhy)
{
    const SelectionRow &row = GetParam();
    std::function<bool(const QString &)> offers;
    if (row.compositorReachable)
        offers = [&row](const QString &name) { return row.globals.contains(name); };
    const BackendSelection s = BackendSelection::choose(row.waylandDisplay, offers);
    EXPECT_EQ(s.logLine(), row.logLine);
    const std::pair<BackendSelection::Choice, const char *> services[] = {
        {s.clipboard, "clipboard=wayland"}, {s.pasteKeys, "paste keys=wayland"}, {s.activeWindow, "front=wayland"}};
    for (const auto &[choice, wayland] : services)
        EXPECT_EQ(choice.backend == BackendSelection::Backend::Wayland, row.logLine.contains(wayland)) << wayland;
}

const QString kDataControl = QStringLiteral("zwlr_data_control_manager_v1");
const QString kVirtualKeyboard = QStringLiteral("zwp_virtual_keyboard_manager_v1");
const QString kForeignToplevel = QStringLiteral("zwlr_foreign_toplevel_manager_v1");

INSTANTIATE_TEST_SUITE_P(
    BackendSelection, BackendSelectionTest,
    ::testing::Values(
        SelectionRow{"kde_offers_data_control_only", "wayland-0", true, {kDataControl},
                     "Platform: clipboard=wayland (zwlr_data_control_manager_v1 offered), "
                     "paste keys=x11 (zwp_virtual_keyboard_manager_v1 not offered, XWayland), "
                     "window in front=x11 (zwlr_foreign_toplevel_manager_v1 not offered, XWayland)"},
        SelectionRow{"standard_data_control_wins_over_the_wlroots_one", "wayland-1", true,
                     {"ext_data_control_manager_v1", kDataControl, kVirtualKeyboard, kForeignToplevel},
                     "Platform: clipboard=wayland (ext_data_control_manager_v1 offered), "
                     "paste keys=wayland (zwp_virtual_keyboard_manager_v1 offered), "
                     "window in front=wayland (zwlr_foreign_toplevel_manager_v1 offered)"},
        SelectionRow{"gnome_offers_none", "wayland-0", true, {"wl_seat"},
                     "Platform: clipboard=x11 (neither ext_data_control_manager_v1 nor zwlr_data_control_manager_v1 "
                     "offered, XWayland), "
                     "paste keys=x11 (zwp_virtual_keyboard_manager_v1 not offered, XWayland), "
                     "window in front=x11 (zwlr_foreign_toplevel_manager_v1 not offered, XWayland)"},
        SelectionRow{"unreachable_compositor_falls_back_to_x11", "wayland-9", false, {},
                     "Platform: clipboard=x11 (no Wayland compositor reachable), "
                     "paste keys=x11 (no Wayland compositor reachable), "
                     "window in front=x11 (no Wayland compositor reachable)"}),
    [](const ::testing::TestParamInfo<SelectionRow> &info) { return std::string(info.param.name); });

} // namespace
