#pragma once

#include <QImageReader>
#include <QSize>

// The largest picture the program keeps, and the decoder budget that lets
// such a picture be read at all.
namespace ImageLimits {

// Wider or taller than this in pixels and an image is refused (an 8K
// screenshot, 7680×4320, is well within).
constexpr int kMaxSide = 16384;

// Qt refuses to decode an image whose frame would need more than its
// allocation limit (128 MiB by default, which an 8K screenshot exceeds).
// The budget is the frame of the largest accepted image at the deepest
// format the decoders produce: 16384 × 16384 pixels × 8 bytes (16 bits per
// channel, RGBA) = 2048 MiB.
constexpr int kAllocationLimitMiB = 2048;

inline bool accepts(const QSize &size)
{
    return size.width() <= kMaxSide && size.height() <= kMaxSide;
}

// Raises Qt's process-wide decoder limit to kAllocationLimitMiB. Called once
// at start, before any image is read.
inline void allowLargeImages()
{
    QImageReader::setAllocationLimit(kAllocationLimitMiB);
}

} // namespace ImageLimits
