#pragma once

#include <optional>

#include <QByteArray>

class QImage;

// TIFF bytes as an image clip stores them: written losslessly with Deflate
// and the horizontal predictor, which every TIFF reader understands. Also
// tells how existing TIFF bytes are laid out, so bytes that are already
// compact can be kept as they are. Thread-safe: no shared state.
class TiffStorage final
{
public:
    // What inspect() reads from the first image of a TIFF file.
    struct Layout
    {
        bool compressed = false;
        int pages = 1;
        // RGB, grey or palette pixels of at most 16 bits per sample: a decoded
        // QImage holds every one of them exactly, so re-encoding loses nothing.
        bool plainPixels = false;
    };

    // The image as a Deflate-compressed TIFF; empty when it cannot be written.
    // Opaque images are stored as RGB, others as RGBA with straight alpha;
    // images of more than 8 bits per channel keep 16 bits. Resolution and
    // colour profile are kept.
    static QByteArray compressed(const QImage &image);

    // Empty when `bytes` is not a TIFF file libtiff can open.
    static std::optional<Layout> inspect(const QByteArray &bytes);
};
