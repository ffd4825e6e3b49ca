#include "backendselection.h"

namespace {

BackendSelection::Choice pick(const QString &waylandDisplay, const std::function<bool(const QString &)> &offers,
                              const QString &interface)
{
    if (waylandDisplay.isEmpty())
        return {BackendSelection::Backend::X11, QStringLiteral("no Wayland session")};
    if (!offers)
        return {BackendSelection::Backend::X11, QStringLiteral("no Wayland compositor reachable")};
    if (offers(interface))
        return {BackendSelection::Backend::Wayland, interface + QStringLiteral(" offered")};
    return {BackendSelection::Backend::X11, interface + QStringLiteral(" not offered, XWayland")};
}

QString describe(const char *service, const BackendSelection::Choice &choice)
{
    return QStringLiteral("%1=%2 (%3)")
        .arg(QLatin1String(service),
             choice.backend == BackendSelection::Backend::Wayland ? QStringLiteral("wayland") : QStringLiteral("x11"),
             choice.reason);
}

} // namespace

BackendSelection BackendSelection::choose(const QString &waylandDisplay,
                                          const std::function<bool(const QString &)> &offers)
{
    BackendSelection s;
    s.clipboard = pick(waylandDisplay, offers, QStringLiteral("zwlr_data_control_manager_v1"));
    s.pasteKeys = pick(waylandDisplay, offers, QStringLiteral("zwp_virtual_keyboard_manager_v1"));
    s.activeWindow = pick(waylandDisplay, offers, QStringLiteral("zwlr_foreign_toplevel_manager_v1"));
    return s;
}

QString BackendSelection::logLine() const
{
    return QStringLiteral("Platform: %1, %2, %3")
        .arg(describe("clipboard", clipboard), describe("paste keys", pasteKeys),
             describe("window in front", activeWindow));
}
