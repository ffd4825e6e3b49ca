#include "previewhelper.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>

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

} // namespace

PreviewHelper::PreviewHelper(const QString &tempDir, QObject *parent)
    : QObject(parent)
    , m_tempDir(QDir::cleanPath(tempDir))
{
}

PreviewHelper::~PreviewHelper()
{
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
    case ClipKind::Url: content = webLocation(item.raw); break;
    case ClipKind::Image:
        // Decoded once: the picture both becomes the PNG and goes to the window.
        m_decoded = QImage::fromData(item.raw);
        content = m_decoded.isNull() ? QByteArray() : pngOf(m_decoded);
        if (content.isEmpty()) {
            m_decoded = QImage();
            content = item.raw; // undecodable or not encodable: the bytes as they are
        }
        break;
    default: content = item.raw; break; // text, RTF, unknown and a vanished file: the bytes as they are
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
    m_currentItem = item;
    m_tempPath = preparePreviewFile(item);

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
    if (!isVisible())
        return;
    m_window->hide();
    cleanUp();
    Log::info(QStringLiteral("Preview: Preview closed"));
    emit visibilityChanged(false);
}

void PreviewHelper::toggle(const ClipboardItem &item)
{
    if (isVisible())
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
