#include "menubarview.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include "accessibilitysettingsopener.h"
#include "platform/logger.h"
#include "platform/loginitem.h"
#include "sectionbox.h"
#include "shellstyle.h"
#include "store/clipboardstore.h"
#include "styling/continuousroundedrect.h"
#include "styling/glassmaterial.h"
#include "styling/noiseveil.h"
#include "styling/symbolicons.h"
#include "styling/toggleswitch.h"

using namespace ShellStyle;

namespace {

const QString kInstruction = QStringLiteral(
    "Ouvrez la section **Accessibilité** grâce au bouton ci-dessous, puis autorisez **Bramblet**. Si l’application "
    "n’apparaît pas dans la liste, ajoutez-la manuellement avec le bouton **+**, puis cochez-la.");

QWidget *iconLabel(const QString &symbol, const QString &text, const QColor &color, QWidget *parent = nullptr)
{
    auto *w = new QWidget(parent);
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto *icon = new QLabel(w);
    icon->setPixmap(SymbolIcons::pixmap(symbol, 16, color, 2.0));
    row->addWidget(icon);
    QLabel *t = label(text, TextStyle::Body, false, true, w);
    QPalette p = t->palette();
    p.setColor(QPalette::WindowText, color);
    t->setPalette(p);
    t->setObjectName(QStringLiteral("status"));
    row->addWidget(t);
    row->addStretch(1);
    return w;
}

} // namespace

MenuBarView::MenuBarView(ShellContext &context, QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
    , m_context(context)
{
    setObjectName(QStringLiteral("BrambletMenuBarPanel"));
    setWindowTitle(QStringLiteral("Bramblet"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground, GlassMaterial::translucencyAvailable());
    applyDarkPalette(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            applicationActivated();
    });
    build();
}

void MenuBarView::rebuildForOpen()
{
    m_recheckAfterReturn = false;
    build();
}

void MenuBarView::build()
{
    delete layout();
    if (m_content)
        delete m_content;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_content = new QWidget(this);
    auto *holder = new QVBoxLayout(m_content);
    holder->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_content);

    auto *scroll = new QScrollArea(m_content);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setStyleSheet(QStringLiteral("QScrollBar:vertical { background: transparent; width: 8px; }"
                                         "QScrollBar::handle:vertical { background: rgba(255,255,255,60); border-radius: 4px; }"
                                         "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"));
    scroll->viewport()->setAutoFillBackground(false);
    holder->addWidget(scroll);
    auto *column = new QWidget;
    column->setAutoFillBackground(false);
    auto *col = new QVBoxLayout(column);
    col->setContentsMargins(16, 26, 16, 16);
    col->setSpacing(18);
    col->setAlignment(Qt::AlignTop);
    scroll->setWidget(column);
    // setWidget() turns background filling on; the glass painted by the panel must show.
    column->setAutoFillBackground(false);

    // Header
    auto *header = new QHBoxLayout;
    header->setContentsMargins(6, 0, 6, 2);
    header->setSpacing(10);
    auto *logo = new QLabel;
    logo->setPixmap(SymbolIcons::pixmap(QStringLiteral("paperclip.circle.fill"), 28, kAccent, 2.0));
    header->addWidget(logo);
    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(label(QStringLiteral("Bramblet"), TextStyle::Title3, false, true));
    names->addWidget(label(QStringLiteral("Presse-papiers intelligent pour Linux"), TextStyle::Caption, true));
    header->addLayout(names);
    header->addStretch(1);
    col->addLayout(header);
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    col->addWidget(line);

    // Général
    auto *general = new SectionBox(QStringLiteral("Général"));
    auto *shortcutRow = new QHBoxLayout;
    shortcutRow->setSpacing(12);
    shortcutRow->addWidget(label(QStringLiteral("Raccourci Overlay"), TextStyle::Body));
    shortcutRow->addStretch(1);
    if (m_context.shortcutOwnedByDesktop)
        shortcutRow->addWidget(label(QStringLiteral("Géré par le bureau"), TextStyle::Caption, true));
    else
        m_recorder = m_context.makeShortcutRecorder ? m_context.makeShortcutRecorder(general) : nullptr;
    if (m_recorder) {
        styleBordered(m_recorder);
        shortcutRow->addWidget(m_recorder);
    }
    general->content()->addLayout(shortcutRow);
    auto *loginRow = new QHBoxLayout;
    loginRow->setSpacing(12);
    loginRow->addWidget(label(QStringLiteral("Lancer au démarrage"), TextStyle::Body));
    loginRow->addStretch(1);
    m_launchAtLogin = new ToggleSwitch;
    m_launchAtLogin->setOn(m_context.loginItem && m_context.loginItem->isEnabled());
    connect(m_launchAtLogin, &ToggleSwitch::isOnChanged, this, [this](bool on) {
        const bool ok = m_context.loginItem && m_context.loginItem->setEnabled(on);
        if (!ok && m_context.beep)
            m_context.beep();
    });
    loginRow->addWidget(m_launchAtLogin);
    general->content()->addLayout(loginRow);
    col->addWidget(general);

    // Accessibilité
    m_accessibility = new SectionBox(QStringLiteral("Accessibilité"));
    m_accessibilityBody = nullptr;
    fillAccessibility();
    col->addWidget(m_accessibility);

    // Presse-papiers
    auto *clipboard = new SectionBox(QStringLiteral("Presse-papiers"));
    clipboard->content()->setSpacing(10);
    m_overlay = button(QStringLiteral("Afficher l’Overlay"), ButtonStyle::Bordered,
                       QStringLiteral("rectangle.bottomthird.inset.filled"), true);
    connect(m_overlay, &QPushButton::clicked, this, [this] {
        hide();
        if (m_context.toggleOverlay)
            m_context.toggleOverlay();
    });
    clipboard->content()->addWidget(m_overlay);
    m_clear = button(QStringLiteral("Vider les récents (sauf épinglés)"), ButtonStyle::Destructive,
                     QStringLiteral("trash"), true);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        if (m_context.store)
            m_context.store->clearRecents();
    });
    clipboard->content()->addWidget(m_clear);
    col->addWidget(clipboard);

    // Autres
    auto *others = new SectionBox(QStringLiteral("Autres"));
    others->content()->setSpacing(10);
    m_settings = button(QStringLiteral("Paramètres…"), ButtonStyle::Bordered, QStringLiteral("gearshape"), true);
    connect(m_settings, &QPushButton::clicked, this, [this] {
        hide();
        if (m_context.openSettings)
            m_context.openSettings();
    });
    others->content()->addWidget(m_settings);
    m_quit = button(QStringLiteral("Quitter Bramblet"), ButtonStyle::Destructive, QStringLiteral("power"), true);
    connect(m_quit, &QPushButton::clicked, this, [this] {
        hide();
        if (m_context.quit)
            m_context.quit();
    });
    others->content()->addWidget(m_quit);
    col->addWidget(others);

    // Footer
    auto *footer = new QHBoxLayout;
    footer->addWidget(label(versionText(), TextStyle::Caption2, true));
    footer->addStretch(1);
    footer->addWidget(label(noticeLine(), TextStyle::Caption2, true));
    col->addLayout(footer);
}

void MenuBarView::fillAccessibility()
{
    if (m_accessibilityBody) {
        m_accessibilityBody->hide();
        m_accessibilityBody->deleteLater();
    }
    m_openAccessibility = nullptr;
    auto *body = new QWidget;
    auto *col = new QVBoxLayout(body);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(10);
    const bool trusted = m_context.isTrusted && m_context.isTrusted();
    if (trusted) {
        col->addWidget(iconLabel(QStringLiteral("checkmark.shield.fill"), QStringLiteral("Autorisation accordée"), kGreen));
    } else {
        col->addWidget(iconLabel(QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("Autorisation requise"), kOrange));
        QLabel *text = label(boldMarkup(kInstruction), TextStyle::Caption, true);
        text->setTextFormat(Qt::RichText);
        text->setWordWrap(true);
        col->addWidget(text);
        m_openAccessibility = button(QStringLiteral("Ouvrir Réglages"), ButtonStyle::Prominent);
        // The panel is narrow: the button takes its own row, full width.
        m_openAccessibility->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(m_openAccessibility, &QPushButton::clicked, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (m_context.accessibilityOpener)
                    m_context.accessibilityOpener->open(AccessibilitySettingsOpener::planFor(m_context.currentDesktop));
            });
            m_recheckAfterReturn = true;
        });
        col->addWidget(m_openAccessibility);
    }
    m_accessibility->content()->addWidget(body);
    m_accessibilityBody = body;
}

QString MenuBarView::accessibilityStatus() const
{
    if (!m_accessibilityBody)
        return QString();
    auto *status = m_accessibilityBody->findChild<QLabel *>(QStringLiteral("status"));
    return status ? status->text() : QString();
}

void MenuBarView::applicationActivated()
{
    if (m_recheckAfterReturn && m_context.isTrusted && m_context.isTrusted()) {
        m_recheckAfterReturn = false;
        fillAccessibility();
    }
}

void MenuBarView::popUp(const QRect &anchor)
{
    rebuildForOpen();
    const QPoint at = anchor.isValid() ? anchor.center() : QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    const QRect target = anchor.isValid() ? anchor : QRect(at, QSize(1, 1));
    move(placement(target, available, size()));
    show();
    raise();
    activateWindow();
    Log::debug(QStringLiteral("MenuBar: panel opened"));
}

QPoint MenuBarView::placement(const QRect &anchor, const QRect &available, const QSize &size)
{
    // Below an icon in the upper half of the screen, above one in the lower half.
    int y = anchor.center().y() < available.center().y() ? anchor.bottom() + 6 : anchor.top() - 6 - size.height();
    int x = anchor.center().x() - size.width() / 2;
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - size.width()));
    y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() + 1 - size.height()));
    return {x, y};
}

void MenuBarView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool translucent = testAttribute(Qt::WA_TranslucentBackground);
    const QPainterPath shape = ContinuousRoundedRect::path(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
                                                           translucent ? 12 : 0);
    GlassMaterial::paint(painter, shape, GlassMaterial::Material::HudWindow, translucent);
    NoiseVeil{0.03}.paint(painter, rect());
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.drawPath(shape);
}
