#include "backendselection.h"

#include <QStringList>

namespace {

// The first of `interfaces` (in order of preference) the compositor offers.
BackendSelection::Choice pick(const QString &waylandDisplay, const std::function<bool(const QString &)> &offers,
                              const QStringList &interfaces)
{
    if (waylandDisplay.isEmpty())
        return {BackendSelection::Backend::X11, QStringLiteral("no Wayland session")};
    if (!offers)
        return {BackendSelection::Backend::X11, QStringLiteral("no Wayland compositor reachable")};
    for (const QString &interface : interfaces) {
        if (offers(interface))
            return {BackendSelection::Backend::Wayland, interface + QStringLiteral(" offered")};
    }
    if (interfaces.size() == 1)
        return {BackendSelection::Backend::X11, interfaces.first() + QStringLiteral(" not offered, XWayland")};
    return {BackendSelection::Backend::X11, QStringLiteral("neither %1 offered, XWayland")
                                                .arg(interfaces.join(QStringLiteral(" nor ")))};
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
    // The standard data-control protocol before the wlroots one, as the
    // Wayland clipboard binds them.
    s.clipboard = pick(waylandDisplay, offers,
                       {QStringLiteral("ext_data_control_manager_v1"), QStringLiteral("zwlr_data_control_manager_v1")});
    s.pasteKeys = pick(waylandDisplay, offers, {QStringLiteral("zwp_virtual_keyboard_manager_v1")});
    s.activeWindow = pick(waylandDisplay, offers, {QStringLiteral("zwlr_foreign_toplevel_manager_v1")});
    return s;
}

QString BackendSelection::logLine() const
{
    return QStringLiteral("Platform: %1, %2, %3")
        .arg(describe("clipboard", clipboard), describe("paste keys", pasteKeys),
             describe("window in front", activeWindow));
}
