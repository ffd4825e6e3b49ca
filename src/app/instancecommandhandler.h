#pragma once

#include <functional>

#include <QList>

#include "clicommand.h"
#include "instancereply.h"
#include "model/clipboarditem.h"

class ClipboardStore;

// Carries out, inside the running instance, the commands a second launch or
// the command line sends. Main thread only.
class InstanceCommandHandler final
{
public:
    struct Actions {
        std::function<void()> toggleOverlay;
        std::function<void()> openSettings;
        std::function<void()> quit;
        // Writes the clip to the clipboard; false when nothing was written.
        std::function<bool(const ClipboardItem &)> writeClipboard;
    };

    InstanceCommandHandler(ClipboardStore &store, Actions actions);

    InstanceReply handle(const CliCommand &command);

    // The clips newest first (ties keep the store's order): the numbering
    // `list` shows and `copy N` uses.
    static QList<ClipboardItem> newestFirst(const QList<ClipboardItem> &items);

private:
    InstanceReply list(const CliCommand &command) const;
    InstanceReply copy(const CliCommand &command);

    ClipboardStore &m_store;
    Actions m_actions;
};
