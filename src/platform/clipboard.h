#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include "platform/clipboardcontent.h"

// What one owner put on the clipboard: the types it offered and the bytes of
// the types that were asked for, read as one consistent set.
struct ClipboardOffer
{
    // Empty when nobody owns the clipboard any more (its owner quit).
    QStringList formats;
    // The types read; a type asked for but not delivered is absent.
    QHash<QString, QByteArray> data;
};

// The system clipboard (the regular CLIPBOARD selection). Main thread only;
// reads may block while the owning program answers.
class Clipboard
{
public:
    // Every write of ours carries this private type, so any instance of the
    // program recognises the content as its own and never captures it.
    static constexpr char kOwnWriteMimeType[] = "application/x-bramblet-own";

    virtual ~Clipboard() = default;
    Clipboard() = default;
    Clipboard(const Clipboard &) = delete;
    Clipboard &operator=(const Clipboard &) = delete;

    // A counter that grows by at least one on every change of the clipboard's
    // owner or content, ours included. Starts at 0; never fails.
    virtual qint64 changeCount() const = 0;
    // The MIME types currently offered; empty when nobody owns the clipboard.
    virtual QStringList formats() const = 0;
    // The bytes of one offered type; empty optional when the type is not
    // offered or the owner does not deliver it.
    virtual std::optional<QByteArray> data(const QString &mimeType) const = 0;
    // True when the current content was written by this program (carries
    // kOwnWriteMimeType). False when the clipboard is empty.
    virtual bool holdsOwnWrite() const = 0;
    // Replaces the clipboard's content with `content` plus kOwnWriteMimeType
    // and takes ownership of the selection. Never fails visibly; a backend
    // that cannot write logs one error line.
    virtual void write(const ClipboardContent &content) = 0;

    // Picks, from the offered types, the ones to read. Runs on the backend's
    // reader thread, so it must only look at its argument.
    using TypeChooser = std::function<QStringList(const QStringList &offered)>;
    // Receives every change on the main thread, in the order they happened.
    using OfferHandler = std::function<void(const ClipboardOffer &offer)>;

    // Starts reporting every change of the clipboard's owner as one offer,
    // its chosen types read without blocking the main thread. Returns false
    // when this backend sees no change event; the caller then polls
    // changeCount(). Called at most once.
    virtual bool watchChanges(TypeChooser choose, OfferHandler onOffer)
    {
        (void)choose;
        (void)onOffer;
        return false;
    }
};
