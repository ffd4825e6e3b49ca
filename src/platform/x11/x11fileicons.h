#pragma once

#include "platform/fileicons.h"

// Thumbnails through QImageReader; type icons from the icon theme by the
// file's MIME type, else the widget style's file and folder icons.
class X11FileIcons final : public FileIcons
{
public:
    QImage imageThumbnail(const QString &path, int side) const override;
    QImage typeIcon(const QString &path, int side) const override;
};
