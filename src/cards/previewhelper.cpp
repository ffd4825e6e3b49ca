#include "previewhelper.h"

#include <cerrno>
#include <cstdio>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include "cardthumbnails.h"
#include "platform/logger.h"
#include "previewwindow.h"

namespace {

// Only a plain extension may become part of our file name: a history file
// could hold "../x" or a slash, which would write outside the folder.
QString safeExtension(const std::optional<QString> &ext)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9_+-]{0,15}$"));
    if (ext && plain.match(*ext).hasMatch())
        return *ext;
    return QStringLiteral("dat");
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray webLocation(const QByteArray &raw)
{
    // Not valid UTF-8 still previews: undecodable bytes become U+FFFD rather
    // than leaving a file that does not exist (or an older one) behind.
    const QString url = QString::fromUtf8(raw).toHtmlEscaped();
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                        "<plist version=\"1.0\">\n"
                                        "<dict>\n"
                                        "    <key>URL</key>\n"
                                        "    <string>%1</string>\n"
                                        "</dict>\n"
                                        "</plist>")
                             .arg(url);
    return text.toUtf8();
}

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, "png");
    // A file that lives only while the preview is open: zlib level 1, the
    // fastest that still compresses (Qt maps quality q to level (100-q)*9/91).
    writer.setQuality(80);
    return writer.write(image) ? png : QByteArray();
}

// Whether an image clip is decoded on the spot: a small content held in
// memory whose header announces a small picture.
bool decodesInline(const Payload &raw)
{
    const std::optional<QByteArray> held = raw.isLarge() ? std::nullopt : raw.heldBytes();
    if (!held)
        return false;
    QByteArray data = *held;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    return !size.isValid() || qint64(size.width()) * size.height() <= CardThumbnails::kInlinePixels;
}

} // namespace

PreviewHelper::PreparedImage PreviewHelper::prepareImage(const Payload &raw, const QString &path)
{
    PreparedImage out;
    const std::optional<QByteArray> bytes = raw.read();
    if (!bytes)
        return out; // logged by the read
    // Decoded once: the picture both becomes the PNG and goes to the window.
    out.picture = QImage::fromData(*bytes);
    QByteArray content = out.picture.isNull() ? QByteArray() : pngOf(out.picture);
    if (content.isEmpty()) {
        out.picture = QImage();
        content = *bytes; // undecodable or not encodable: the bytes as they are
    }
    QString error;
    if (!writeFile(path, content, &error)) {
        Log::error(QStringLiteral("Preview: Failed to create temp file: ") + error);
        return out;
    }
    out.path = path;
    return out;
}

PreviewHelper::PreviewHelper(const QString &tempDir, QObject *parent)
    : QObject(parent)
    , m_tempDir(QDir::cleanPath(tempDir))
{
}

PreviewHelper::~PreviewHelper()
{
    // A picture still being prepared writes a file no one would remove.
    for (auto *watcher : findChildren<QFutureWatcher<PreparedImage> *>()) {
        watcher->waitForFinished();
        if (const auto part = watcher->result().path)
            QFile::remove(*part);
    }
    // At once: at quit no event loop is left to run a queued clean-up.
    if (m_tempPath && m_tempIsOurs) {
        QFile::remove(*m_tempPath);
        Log::debug(QStringLiteral("Preview: Cleaned up temp file"));
    }
    delete m_window;
}

QString PreviewHelper::previewFilePath(const ClipboardItem &item) const
{
    QString name, ext;
    switch (item.kind) {
    case ClipKind::Text: name = QStringLiteral("Bramblet_Preview"); ext = QStringLiteral("txt"); break;
    case ClipKind::Rtf: name = QStringLiteral("Bramblet_Preview"); ext = QStringLiteral("rtf"); break;
    case ClipKind::Url: name = QStringLiteral("Bramblet_URL"); ext = QStringLiteral("webloc"); break;
    case ClipKind::Image: name = QStringLiteral("Bramblet_Image"); ext = QStringLiteral("png"); break;
    case ClipKind::FileURL: name = QStringLiteral("Bramblet_File"); ext = safeExtension(item.fileExt); break;
    case ClipKind::Unknown: name = QStringLiteral("Bramblet_Unknown"); ext = QStringLiteral("txt"); break;
    }
    return m_tempDir + u'/' + name + u'.' + ext;
}

std::optional<QString> PreviewHelper::preparePreviewFile(const ClipboardItem &item)
{
    cleanUp();
    m_decoded = QImage();

    if (item.kind == ClipKind::FileURL && item.fileURLString) {
        const QUrl url(*item.fileURLString);
        if (url.isValid() && url.isLocalFile() && QFileInfo::exists(url.toLocalFile())) {
            m_tempIsOurs = false;
            return url.toLocalFile();
        }
    }

    const QString path = previewFilePath(item);
    QByteArray content;
    switch (item.kind) {
    case ClipKind::Url: content = webLocation(item.raw.bytes()); break;
    case ClipKind::Image: {
        PreparedImage prepared = prepareImage(item.raw, path);
        m_decoded = prepared.picture;
        m_tempIsOurs = prepared.path.has_value();
        if (prepared.path)
            Log::debug(QStringLiteral("Preview: Created temp file at ") + path);
        return prepared.path;
    }
    default: { // text, RTF, unknown and a vanished file: the bytes as they are
        const std::optional<QByteArray> bytes = item.raw.read();
        if (!bytes)
            return std::nullopt; // logged by the read
        content = *bytes;
        break;
    }
    }
    QString error;
    if (!writeFile(path, content, &error)) {
        Log::error(QStringLiteral("Preview: Failed to create temp file: ") + error);
        return std::nullopt;
    }
    m_tempIsOurs = true;
    Log::debug(QStringLiteral("Preview: Created temp file at ") + path);
    return path;
}

void PreviewHelper::cleanUp()
{
    if (m_tempPath && m_tempIsOurs) {
        // Only ever a file of ours inside our folder; a copied file is never ours.
        if (QFileInfo(*m_tempPath).absolutePath() == m_tempDir)
            QFile::remove(*m_tempPath);
        Log::debug(QStringLiteral("Preview: Cleaned up temp file"));
    }
    m_tempPath.reset();
    m_tempIsOurs = false;
}

void PreviewHelper::show(const ClipboardItem &item)
{
    const quint64 request = ++m_request;
    m_preparing = false;
    if (item.kind != ClipKind::Image || decodesInline(item.raw)) {
        m_currentItem = item;
        m_tempPath = preparePreviewFile(item);
        present(item);
        return;
    }
    // The window keeps what it shows (if anything) until the picture is
    // ready; the file name is the same for every image, so the old one goes now.
    cleanUp();
    m_preparing = true;
    // Each worker writes a name of its own, renamed to the preview file only
    // if its request is still the latest: workers overtaken by a newer one
    // can finish in any order without touching the shown file.
    const QString path = previewFilePath(item);
    const QString part = path + QStringLiteral(".%1.part").arg(request);
    auto *watcher = new QFutureWatcher<PreparedImage>(this);
    connect(watcher, &QFutureWatcher<PreparedImage>::finished, this, [this, watcher, request, item, path] {
        watcher->deleteLater();
        --m_workers;
        PreparedImage prepared = watcher->result();
        if (request != m_request) {
            if (prepared.path)
                QFile::remove(*prepared.path);
            return;
        }
        m_preparing = false;
        if (prepared.path && ::rename(QFile::encodeName(*prepared.path).constData(),
                                      QFile::encodeName(path).constData()) != 0) {
            Log::error(QStringLiteral("Preview: Failed to create temp file: ") + qt_error_string(errno));
            QFile::remove(*prepared.path);
            prepared.path.reset();
        } else if (prepared.path) {
            prepared.path = path;
            Log::debug(QStringLiteral("Preview: Created temp file at ") + path);
        }
        m_currentItem = item;
        m_tempPath = prepared.path;
        m_tempIsOurs = prepared.path.has_value();
        m_decoded = prepared.picture;
        present(item);
    });
    ++m_workers;
    watcher->setFuture(QtConcurrent::run([raw = item.raw, part] { return prepareImage(raw, part); }));
}

void PreviewHelper::present(const ClipboardItem &item)
{
    if (!m_window) {
        m_window = new PreviewWindow();
        connect(m_window, &PreviewWindow::closeRequested, this, &PreviewHelper::close);
    }
    const QSize before = m_window->size();
    m_window->load(m_tempPath.value_or(QString()), m_decoded);
    m_decoded = QImage();
    if (m_window->isVisible() && m_window->size() != before)
        m_window->placeNear(sourceFrame());
    if (!m_window->isVisible()) {
        m_window->placeNear(sourceFrame());
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        emit visibilityChanged(true);
    }
    Log::info(QStringLiteral("Preview: Preview opened for ") + clipKindRawValue(item.kind));
}

void PreviewHelper::close()
{
    if (m_preparing) {
        ++m_request; // the picture on its way is dropped
        m_preparing = false;
    }
    if (!isVisible())
        return;
    m_window->hide();
    cleanUp();
    Log::info(QStringLiteral("Preview: Preview closed"));
    emit visibilityChanged(false);
}

void PreviewHelper::toggle(const ClipboardItem &item)
{
    if (isVisible() || m_preparing)
        close();
    else
        show(item);
}

bool PreviewHelper::isVisible() const { return m_window && m_window->isVisible(); }

void PreviewHelper::setSourceFrameProvider(std::function<QRect()> provider) { m_sourceFrame = std::move(provider); }

QRect PreviewHelper::sourceFrame() const
{
    if (m_sourceFrame)
        return m_sourceFrame();
    return QRect(0, 0, 0, 0);
}
