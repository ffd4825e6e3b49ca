#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/clipboard.h"

// What capture reads from: the offered types and the bytes of one type (empty
// optional when not offered or not delivered). The live clipboard and one
// owner's offer both provide it.
class ClipboardView
{
public:
    virtual ~ClipboardView() = default;
    virtual QStringList formats() const = 0;
    virtual std::optional<QByteArray> data(const QString &mimeType) const = 0;
};

// The clipboard as it is now; reads may block. Main thread only.
class LiveClipboardView final : public ClipboardView
{
public:
    explicit LiveClipboardView(const Clipboard &clipboard) : m_clipboard(clipboard) {}
    QStringList formats() const override { return m_clipboard.formats(); }
    std::optional<QByteArray> data(const QString &mimeType) const override { return m_clipboard.data(mimeType); }

private:
    const Clipboard &m_clipboard;
};

// One owner's offer, already read: never blocks, safe on any thread (it holds
// its own copy). A type offered but not read counts as not delivered.
class OfferView final : public ClipboardView
{
public:
    explicit OfferView(ClipboardOffer offer) : m_offer(std::move(offer)) {}
    QStringList formats() const override { return m_offer.formats; }
    std::optional<QByteArray> data(const QString &mimeType) const override
    {
        const auto it = m_offer.data.constFind(mimeType);
        if (it == m_offer.data.cend())
            return std::nullopt;
        return *it;
    }

private:
    ClipboardOffer m_offer;
};
