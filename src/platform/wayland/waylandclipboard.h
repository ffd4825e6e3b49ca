#pragma once

#include <memory>

#include <QObject>

#include "platform/clipboard.h"

class WaylandConnection;

// The regular clipboard through a data-control protocol, which lets a
// program that has no focused window watch and set the selection:
// ext_data_control_manager_v1 where the compositor offers it, else the
// wlroots zwlr_data_control_manager_v1 (see DataControlProtocol). Runs on a
// WaylandConnection of its own event thread; offers are read by a reader
// thread and delivered to the main thread in order. Types cross as
// WaylandMimeMapping says.
class WaylandClipboard final : public QObject, public Clipboard
{
    Q_OBJECT

public:
    // Null when the compositor offers no data-control manager or no seat.
    static std::unique_ptr<WaylandClipboard> create(std::shared_ptr<WaylandConnection> connection,
                                                    QObject *parent = nullptr);
    // Whether `connection`'s compositor offers what this backend needs.
    static bool isOffered(const WaylandConnection &connection);
    ~WaylandClipboard() override;

    qint64 changeCount() const override;
    QStringList formats() const override;
    // Blocks the caller for at most a few seconds while the owner answers.
    std::optional<QByteArray> data(const QString &mimeType) const override;
    bool holdsOwnWrite() const override;
    // The bytes are served from other threads, so a slow reader never holds
    // the main thread or the event thread.
    void write(const ClipboardContent &content) override;
    // `choose` runs on the event thread when a selection arrives; the reads
    // run on a reader thread, one offer after the other.
    bool watchChanges(TypeChooser choose, OfferHandler onOffer) override;

    // How long one offer's reads may take before the missing types are
    // given up.
    static constexpr int kReadTimeoutMs = 3000;

    // Opaque state, shared with the protocol callbacks in the .cpp file.
    struct Impl;

private:
    WaylandClipboard(std::shared_ptr<WaylandConnection> connection, QObject *parent);

    std::unique_ptr<Impl> m_impl;
};
