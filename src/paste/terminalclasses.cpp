#include "terminalclasses.h"

#include <QSet>

namespace TerminalClasses {

bool isTerminal(const QString &wmClass, const QString &wmInstance)
{
    // Lower-case WM_CLASS classes or instances, as the programs set them.
    static const QSet<QString> terminals = {
        // GNOME
        QStringLiteral("gnome-terminal"), QStringLiteral("gnome-terminal-server"), QStringLiteral("org.gnome.terminal"),
        QStringLiteral("kgx"), QStringLiteral("org.gnome.console"), QStringLiteral("tilix"), QStringLiteral("com.gexperts.tilix"),
        QStringLiteral("guake"), QStringLiteral("terminator"), QStringLiteral("mate-terminal"),
        // KDE
        QStringLiteral("konsole"), QStringLiteral("org.kde.konsole"), QStringLiteral("yakuake"),
        // Xfce, LXDE/LXQt
        QStringLiteral("xfce4-terminal"), QStringLiteral("lxterminal"), QStringLiteral("qterminal"),
        // Standalone
        QStringLiteral("kitty"), QStringLiteral("alacritty"), QStringLiteral("org.wezfurlong.wezterm"),
        QStringLiteral("wezterm"), QStringLiteral("st"), QStringLiteral("st-256color"), QStringLiteral("sakura"),
        QStringLiteral("terminology"), QStringLiteral("tilda"), QStringLiteral("termite"), QStringLiteral("foot"),
        QStringLiteral("ghostty"), QStringLiteral("com.mitchellh.ghostty"), QStringLiteral("contour"),
        QStringLiteral("cool-retro-term"), QStringLiteral("deepin-terminal"), QStringLiteral("io.elementary.terminal"),
        QStringLiteral("blackbox"), QStringLiteral("com.raggesilver.blackbox"), QStringLiteral("hyper"),
        QStringLiteral("tabby"), QStringLiteral("xterm"), QStringLiteral("uxterm"),
    };
    return terminals.contains(wmClass.toLower()) || terminals.contains(wmInstance.toLower());
}

} // namespace TerminalClasses
