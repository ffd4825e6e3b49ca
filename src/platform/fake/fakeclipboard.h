#pragma once

#include <QList>
#include <QPair>
#include <QStringList>

#include "platform/clipboard.h"

// An in-memory clipboard that tests fill as another program would. Records
// which types were read and what we wrote. Once watched (watchChanges), every
// change is also reported at once as an offer holding the chosen types, as
// a backend with change events would; setEventsSupported(false) plays a
// backend without them.
class FakeClipboard final : public Clipboard
{
public:
    using Entries = QList<QPair<QString, QByteArray>>;

    qint64 changeCount() const override { return m_changeCount; }
    QStringList formats() const override;
    std::optional<QByteArray> data(const QString &mimeType) const override;
    bool holdsOwnWrite() const override;
    void write(const ClipboardContent &content) override;
    bool watchChanges(TypeChooser choose, OfferHandler onOffer) override;

    void setEventsSupported(bool supported) { m_eventsSupported = supported; }
    bool isWatched() const { return bool(m_onOffer); }
    // Reports `offer` as a change, bypassing the content (needs a watcher).
    void emitOffer(const ClipboardOffer &offer);

    // Another program copies `entries` (bumps the change count once).
    void copyFromOtherProgram(const Entries &entries);
    // The owning program quits: the clipboard is empty (bumps the change count).
    void ownerQuits();
    // Moves the change count without changing the content.
    void bumpChangeCount() { ++m_changeCount; }

    // Every data() request, in order.
    QStringList reads() const { return m_reads; }
    void clearReads() { m_reads.clear(); }
    // Every write(), in order.
    QList<ClipboardContent> writes() const { return m_writes; }
    // Current entries, our marker included.
    Entries entries() const { return m_entries; }
    // The image of our last write, when it held one.
    QImage image() const { return m_image; }

private:
    void reportChange();

    bool m_eventsSupported = true;
    TypeChooser m_choose;
    OfferHandler m_onOffer;
    Entries m_entries;
    QImage m_image;
    qint64 m_changeCount = 0;
    mutable QStringList m_reads;
    QList<ClipboardContent> m_writes;
};
