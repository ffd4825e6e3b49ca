#include "previewwindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QUrl>
#include <QVBoxLayout>

#include "cardformat.h"
#include "imagepreviewview.h"
#include "contentdecoration.h"
#include "capture/rtfplaintext.h"
#include "styling/glassmaterial.h"
#include "styling/symbolicons.h"

namespace {

// Text files are shown whole up to this size; beyond it the start is shown,
// so a huge log file cannot stall the event loop.
constexpr qint64 kTextLimit = 2 * 1024 * 1024;

constexpr QSize kDefaultSize(640, 460);
// The smallest image window (a tiny picture sits at its size in its middle)
// and the room left around a window for the window manager's frame.
constexpr QSize kMinimumImageWindow(320, 200);
constexpr QSize kFrameAllowance(16, 48);
// Below this much room above the strip the window is centred on the screen
// instead of made smaller.
constexpr int kLeastRoomAbove = 240;

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes); // not UTF-8: show the bytes as Latin-1
}

// The URL inside a web-location property list; empty when there is none.
QString webLocationUrl(const QByteArray &plist)
{
    static const QRegularExpression re(QStringLiteral(R"(<key>URL</key>\s*<string>(.*?)</string>)"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(QString::fromUtf8(plist));
    if (!m.hasMatch())
        return {};
    QString s = m.captured(1);
    s.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s.trimmed();
}

} // namespace

PreviewWindow::PreviewWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Aperçu"));
    setObjectName(QStringLiteral("BrambletPreview"));
    resize(kDefaultSize);
    setStyleSheet(QStringLiteral(
        "#BrambletPreview { background: #26282e; }"
        "QLabel { color: white; }"
        "QPlainTextEdit { background: #1e2025; color: white; border: none; padding: 8px; }"
        "QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }"
        "QScrollBar::handle:vertical { background: rgba(255,255,255,70); border-radius: 3px; min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"
        "QPushButton { background: #0a84ff; color: white; border: none; border-radius: 6px; padding: 6px 16px; }"
        "QPushButton:pressed { background: #0060df; }"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_stack = new QStackedWidget(this);
    layout->addWidget(m_stack);

    m_text = new QPlainTextEdit(m_stack);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setFont(ContentDecoration::monospaceFont(13));
    m_text->setFocusPolicy(Qt::NoFocus); // keys go to the window (Space closes)
    m_stack->addWidget(m_text);

    m_imageView = new ImagePreviewView(m_stack);
    m_stack->addWidget(m_imageView);

    m_infoPage = new QWidget(m_stack);
    auto *info = new QVBoxLayout(m_infoPage);
    info->setAlignment(Qt::AlignVCenter);
    info->setContentsMargins(40, 24, 40, 24);
    info->setSpacing(10);
    m_iconLabel = new QLabel(m_infoPage);
    m_iconLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel = new QLabel(m_infoPage);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setWordWrap(true);
    m_titleLabel->setTextFormat(Qt::PlainText);
    m_titleLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont title = m_titleLabel->font();
    title.setPointSizeF(13);
    title.setWeight(QFont::DemiBold);
    m_titleLabel->setFont(title);
    m_detailLabel = new QLabel(m_infoPage);
    m_detailLabel->setAlignment(Qt::AlignCenter);
    m_detailLabel->setStyleSheet(QStringLiteral("color: rgba(255,255,255,150);"));
    m_openButton = new QPushButton(m_infoPage);
    m_openButton->setFocusPolicy(Qt::NoFocus);
    info->addWidget(m_iconLabel);
    info->addWidget(m_titleLabel);
    info->addWidget(m_detailLabel);
    m_titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    info->addWidget(m_openButton, 0, Qt::AlignCenter);
    m_stack->addWidget(m_infoPage);
    connect(m_openButton, &QPushButton::clicked, this, [this] {
        if (m_mode == Mode::Link)
            QDesktopServices::openUrl(QUrl::fromUserInput(m_link));
        else if (m_mode == Mode::File)
            QDesktopServices::openUrl(QUrl::fromLocalFile(m_path));
    });

    m_emptyPage = new QLabel(QStringLiteral("Aucun aperçu disponible"), m_stack);
    static_cast<QLabel *>(m_emptyPage)->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(m_emptyPage);
}

void PreviewWindow::load(const QString &path, const QImage &decoded)
{
    m_path = path;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        showEmpty();
        return;
    }
    setWindowTitle(QFileInfo(path).fileName());
    const QString suffix = QFileInfo(path).suffix().toLower();
    QFile file(path);
    if (suffix == QLatin1String("webloc")) {
        if (file.open(QIODevice::ReadOnly)) {
            const QString url = webLocationUrl(file.read(kTextLimit));
            if (!url.isEmpty()) {
                showLink(url);
                return;
            }
        }
        showFile(path);
        return;
    }
    if (suffix == QLatin1String("rtf")) {
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            showText(RtfPlainText::convert(bytes).value_or(decodeText(bytes.left(kTextLimit))));
            return;
        }
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(path);
    if (!decoded.isNull()) {
        showImage(decoded);
        return;
    }
    if (mime.name().startsWith(QLatin1String("image/"))) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (!image.isNull()) {
            showImage(image);
            return;
        }
    }
    if (suffix == QLatin1String("txt") || mime.inherits(QStringLiteral("text/plain"))) {
        if (file.open(QIODevice::ReadOnly)) {
            showText(decodeText(file.read(kTextLimit)));
            return;
        }
    }
    showFile(path);
}

void PreviewWindow::showText(const QString &text)
{
    leaveImageSize();
    m_mode = Mode::Text;
    m_text->setPlainText(text);
    m_stack->setCurrentWidget(m_text);
}

void PreviewWindow::leaveImageSize()
{
    // Other pages open at the usual size, not at the last picture's.
    if (m_mode == Mode::Image)
        resize(kDefaultSize);
}

void PreviewWindow::showImage(const QImage &image)
{
    m_mode = Mode::Image;
    m_imageView->setImage(image);
    m_stack->setCurrentWidget(m_imageView);
    // The window takes the picture's size, within the screen's free area
    // less room for the window manager's frame; the view scales the picture
    // down when the window ends up smaller.
    const QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize avail = where ? where->availableGeometry().size() - kFrameAllowance : QSize(1280, 800);
    QSize fitted = m_imageView->naturalSize();
    if (fitted.width() > avail.width() || fitted.height() > avail.height())
        fitted = fitted.scaled(avail, Qt::KeepAspectRatio);
    resize(fitted.expandedTo(kMinimumImageWindow).boundedTo(avail));
}

void PreviewWindow::showLink(const QString &url)
{
    leaveImageSize();
    m_mode = Mode::Link;
    m_link = url;
    m_iconLabel->setPixmap(SymbolIcons::pixmap(QStringLiteral("link"), 64, GlassMaterial::accentColor(), devicePixelRatioF()));
    m_titleLabel->setText(url);
    m_detailLabel->setText(QStringLiteral("URL"));
    m_openButton->setText(QStringLiteral("Ouvrir le lien"));
    m_openButton->adjustSize();
    m_stack->setCurrentWidget(m_infoPage);
}

void PreviewWindow::showFile(const QString &path)
{
    leaveImageSize();
    m_mode = Mode::File;
    const QFileInfo info(path);
    const QIcon icon = QFileIconProvider().icon(info);
    QPixmap pm = icon.pixmap(QSize(96, 96));
    if (pm.isNull())
        pm = SymbolIcons::pixmap(QStringLiteral("doc"), 96, QColor(255, 159, 10), devicePixelRatioF());
    m_iconLabel->setPixmap(pm);
    m_titleLabel->setText(info.fileName());
    m_detailLabel->setText(CardFormat::byteCountText(info.size()));
    m_openButton->setText(QStringLiteral("Ouvrir"));
    m_openButton->setToolTip(QStringLiteral("Ouvrir avec l’application par défaut"));
    m_openButton->adjustSize();
    m_stack->setCurrentWidget(m_infoPage);
}

void PreviewWindow::showEmpty()
{
    leaveImageSize();
    m_mode = Mode::Empty;
    setWindowTitle(QStringLiteral("Aperçu"));
    m_stack->setCurrentWidget(m_emptyPage);
}

QString PreviewWindow::shownText() const
{
    switch (m_mode) {
    case Mode::Text: return m_text->toPlainText();
    case Mode::Link: return m_link;
    case Mode::File: return m_titleLabel->text();
    default: return {};
    }
}

void PreviewWindow::placeNear(const QRect &source)
{
    QScreen *screen = QGuiApplication::screenAt(source.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    // move() places the frame: plan with the frame's size, known once the
    // window has been shown, else the usual allowance.
    const QSize frame = isVisible() ? frameGeometry().size() - this->size() : kFrameAllowance;
    QSize size = (this->size() + frame).boundedTo(avail.size());
    QRect target(QPoint(0, 0), size);
    if (source.isEmpty()) {
        target.moveCenter(avail.center());
    } else {
        // Too tall for the room above the strip: smaller, keeping its shape,
        // rather than partly hidden behind the strip.
        const int room = source.top() - 12 - avail.top();
        if (size.height() > room && room >= kLeastRoomAbove) {
            const QSize inner = this->size().scaled(QSize(avail.width(), room) - frame, Qt::KeepAspectRatio);
            resize(inner);
            size = inner + frame;
            target.setSize(size);
        }
        target.moveCenter(QPoint(source.center().x(), 0));
        target.moveBottom(source.top() - 12);
        if (target.top() < avail.top())
            target.moveCenter(avail.center());
    }
    // A window as wide as the screen has one place: its left edge.
    const int rightmost = qMax(avail.left(), avail.left() + avail.width() - target.width());
    target.moveLeft(qBound(avail.left(), target.left(), rightmost));
    move(target.topLeft());
}

void PreviewWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    // Closing goes through the helper so the preview file is cleaned up.
    event->ignore();
    emit closeRequested();
}

