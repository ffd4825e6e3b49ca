#include "tiffstorage.h"

#include <cstdarg>
#include <cstring>

#include <QColorSpace>
#include <QImage>

#include <tiffio.h>

namespace {

// libtiff reads and writes through these callbacks over a QByteArray.
struct MemoryFile
{
    QByteArray *data;
    qint64 pos = 0;
};

tmsize_t readProc(thandle_t handle, void *buffer, tmsize_t size)
{
    auto *file = static_cast<MemoryFile *>(handle);
    const qint64 available = qMax<qint64>(0, file->data->size() - file->pos);
    const qint64 n = qMin<qint64>(size, available);
    if (n > 0)
        std::memcpy(buffer, file->data->constData() + file->pos, size_t(n));
    file->pos += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t handle, void *buffer, tmsize_t size)
{
    auto *file = static_cast<MemoryFile *>(handle);
    const qint64 end = file->pos + size;
    if (end > file->data->size())
        file->data->resize(end);
    std::memcpy(file->data->data() + file->pos, buffer, size_t(size));
    file->pos = end;
    return size;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto *file = static_cast<MemoryFile *>(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR)
        base = file->pos;
    else if (whence == SEEK_END)
        base = file->data->size();
    file->pos = base + qint64(offset);
    return toff_t(file->pos);
}

int closeProc(thandle_t) { return 0; }

toff_t sizeProc(thandle_t handle) { return toff_t(static_cast<MemoryFile *>(handle)->data->size()); }

int mapProc(thandle_t, void **, toff_t *) { return 0; }

void unmapProc(thandle_t, void *, toff_t) {}

// libtiff's messages are dropped: the caller reports failure in one log
// line, and nothing may go to stderr.
int quietHandler(TIFF *, void *, const char *, const char *, va_list) { return 1; }

TIFF *openMemory(MemoryFile &file, const char *mode)
{
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietHandler, nullptr);
    // "m": no memory mapping, the callbacks above are the only access.
    TIFF *tiff = TIFFClientOpenExt("memory", mode, &file, readProc, writeProc, seekProc, closeProc, sizeProc,
                                   mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

// How pixels are laid out in the file, and the QImage format each strip is
// converted to before writing.
struct PixelLayout
{
    QImage::Format format;
    uint16_t samples;
    uint16_t bits;
    bool alpha;
};

PixelLayout layoutFor(const QImage &image)
{
    const bool alpha = image.hasAlphaChannel();
    const bool deep = image.depth() > 32 || image.format() == QImage::Format_Grayscale16;
    if (deep)
        return alpha ? PixelLayout{QImage::Format_RGBA64, 4, 16, true} : PixelLayout{QImage::Format_RGBX64, 3, 16, false};
    return alpha ? PixelLayout{QImage::Format_RGBA8888, 4, 8, true} : PixelLayout{QImage::Format_RGB888, 3, 8, false};
}

constexpr int kRowsPerChunk = 64;
constexpr int kDeflateLevel = 3;

} // namespace

QByteArray TiffStorage::compressed(const QImage &image)
{
    if (image.isNull() || !TIFFIsCODECConfigured(COMPRESSION_ADOBE_DEFLATE))
        return {};
    QByteArray out;
    MemoryFile file{&out};
    TIFF *tiff = openMemory(file, "wm");
    if (!tiff)
        return {};

    const PixelLayout layout = layoutFor(image);
    const int width = image.width();
    const int height = image.height();
    const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width))
        && TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height))
        && TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits)
        && TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samples)
        && TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT)
        && TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB)
        && TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
        && TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT)
        && TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE)
        // Differences between neighbours: flat screenshot areas become runs
        // of zeros and photos compress better.
        && TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL)
        // Level 3: measured on 3840×2160 pictures (bench_images), level 6 gave
        // a screenshot 15 % smaller but took 2.8× as long on a photo.
        && TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, kDeflateLevel)
        && (!layout.alpha || TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, uint16_t(1), &extra));
    // About 256 KiB per strip: small enough to stream, large enough for Deflate.
    const qint64 rowBytes = qint64(width) * layout.samples * layout.bits / 8;
    ok = ok && TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(qBound<qint64>(1, 256 * 1024 / qMax<qint64>(1, rowBytes), qint64(height))));
    if (ok && image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        ok = TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER)
            && TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(image.dotsPerMeterX() / 100.0))
            && TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(image.dotsPerMeterY() / 100.0));
    }
    const QByteArray icc = image.colorSpace().isValid() ? image.colorSpace().iccProfile() : QByteArray();
    if (ok && !icc.isEmpty())
        ok = TIFFSetField(tiff, TIFFTAG_ICCPROFILE, uint32_t(icc.size()), icc.constData());

    // Converted a few rows at a time, so a huge picture is never held twice.
    QByteArray line(rowBytes, Qt::Uninitialized);
    for (int y = 0; ok && y < height; y += kRowsPerChunk) {
        const int rows = qMin(kRowsPerChunk, height - y);
        const QImage chunk = image.copy(0, y, width, rows).convertToFormat(layout.format);
        ok = !chunk.isNull();
        for (int r = 0; ok && r < rows; ++r) {
            const uchar *src = chunk.constScanLine(r);
            if (layout.format == QImage::Format_RGBX64) {
                // 16-bit RGB without the padding channel.
                const auto *in = reinterpret_cast<const quint16 *>(src);
                auto *rgb = reinterpret_cast<quint16 *>(line.data());
                for (int x = 0; x < width; ++x) {
                    rgb[x * 3] = in[x * 4];
                    rgb[x * 3 + 1] = in[x * 4 + 1];
                    rgb[x * 3 + 2] = in[x * 4 + 2];
                }
            } else {
                std::memcpy(line.data(), src, size_t(rowBytes));
            }
            // The predictor works in place on the buffer it is given.
            ok = TIFFWriteScanline(tiff, line.data(), uint32_t(y + r), 0) == 1;
        }
    }
    ok = ok && TIFFWriteDirectory(tiff);
    TIFFClose(tiff);
    return ok ? out : QByteArray();
}

std::optional<TiffStorage::Layout> TiffStorage::inspect(const QByteArray &bytes)
{
    QByteArray data = bytes; // shared, never written: opened read-only
    MemoryFile file{&data};
    TIFF *tiff = openMemory(file, "rm");
    if (!tiff)
        return std::nullopt;
    Layout layout;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    layout.compressed = compression != COMPRESSION_NONE;
    uint16_t photometric = 0, bits = 0;
    const bool known = TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)
        && TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    layout.plainPixels = known && bits <= 16
        && (photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_MINISBLACK
            || photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_PALETTE);
    layout.pages = int(TIFFNumberOfDirectories(tiff));
    TIFFClose(tiff);
    return layout;
}
