#pragma once

#include <QObject>

#include "platform/clipboard.h"

// The CLIPBOARD selection through QClipboard. The change count is bumped on
// every QClipboard change signal for that selection (owner changes, content
// we set, an owner that quits).
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

private:
    qint64 m_changeCount = 0;
};
