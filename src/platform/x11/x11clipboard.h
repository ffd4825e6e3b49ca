#pragma once

#include <memory>

#include <QObject>

#include "platform/clipboard.h"

class X11SelectionReader;

// The CLIPBOARD selection. Writes and the polled reads go through QClipboard;
// the change count is bumped on every QClipboard change signal for that
// selection (owner changes, content we set, an owner that quits). Changes are
// watched on an X connection and a thread of their own (X11SelectionReader):
// offers reach the main thread with queued calls, in order.
class X11Clipboard final : public QObject, public Clipboard
{
    Q_OBJECT

public:
    explicit X11Clipboard(QObject *parent = nullptr);
    ~X11Clipboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    QStringList formats() const override;
    std::optional<QByteArray> data(const QString &mimeType) const override;
    bool holdsOwnWrite() const override;
    void write(const ClipboardContent &content) override;
    bool watchChanges(TypeChooser choose, OfferHandler onOffer) override;

private:
    qint64 m_changeCount = 0;
    std::unique_ptr<X11SelectionReader> m_reader;
};
