#pragma once

#include <functional>

#include <QObject>
#include <QThreadPool>
#include <QUuid>

class FileIcons;

// Makes the PNG thumbnail of a copied file away from the main thread: image
// files (by extension) scaled to fit kSide pixels, anything else (folders,
// files without or with an unknown extension) the icon of its type. The PNG
// is delivered to the sink on the main thread; nothing is delivered when no
// picture can be made. Main thread API.
class FileThumbnailer final : public QObject
{
    Q_OBJECT

public:
    using Sink = std::function<void(const QUuid &id, const QByteArray &png)>;
    static constexpr int kSide = 256;

    // `icons` must outlive this object; pending jobs are finished on destruction.
    explicit FileThumbnailer(FileIcons &icons, QObject *parent = nullptr);
    ~FileThumbnailer() override;

    void setSink(Sink sink) { m_sink = std::move(sink); }
    // Starts the job for the clip `id` of the local file `path` whose
    // lower-case extension is `ext` (may be empty).
    void start(const QUuid &id, const QString &path, const QString &ext);
    // Blocks until every started job has handed over its result (tests).
    void waitForIdle();

private:
    void deliver(const QUuid &id, const QByteArray &png);
    void iconOnMainThread(const QUuid &id, const QString &path);

    FileIcons &m_icons;
    Sink m_sink;
    QThreadPool m_pool;
};
