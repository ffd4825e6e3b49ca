#pragma once

#include <QImage>
#include <QString>

// Pictures for copied files.
class FileIcons
{
public:
    virtual ~FileIcons() = default;
    FileIcons() = default;
    FileIcons(const FileIcons &) = delete;
    FileIcons &operator=(const FileIcons &) = delete;

    // The image file at `path` scaled to fit `side` × `side` pixels (aspect
    // kept, never enlarged). Null image when the file does not decode.
    // Thread-safe: called from worker threads.
    virtual QImage imageThumbnail(const QString &path, int side) const = 0;
    // The icon of the file's type (folders included) at `side` pixels. Null
    // image when the desktop has none. Main thread only.
    virtual QImage typeIcon(const QString &path, int side) const = 0;
};
