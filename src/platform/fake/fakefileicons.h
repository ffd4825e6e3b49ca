#pragma once

#include <atomic>

#include <QColor>

#include "platform/fileicons.h"

// Image thumbnails through the real decoder; type icons are a plain square
// of `iconColor` (null when hasIcons is false). Counts the calls.
class FakeFileIcons final : public FileIcons
{
public:
    QImage imageThumbnail(const QString &path, int side) const override;
    QImage typeIcon(const QString &path, int side) const override;

    bool hasIcons = true;
    QColor iconColor = Qt::blue;
    mutable std::atomic<int> thumbnailCalls{0};
    mutable std::atomic<int> iconCalls{0};
};
