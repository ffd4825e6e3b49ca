#include "folderchipsbar.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>

#include "overlay/folderchip.h"
#include "overlay/folderdrophandler.h"
#include "overlay/foldernamepopover.h"
#include "overlay/folderpalette.h"
#include "overlay/roundiconbutton.h"
#include "overlay/searchtextfield.h"
#include "platform/clock.h"
#include "store/clipboardstore.h"

namespace {
const QColor kSecondary(235, 235, 245, 153);
const QColor kRed(0xFF, 0x45, 0x3A);
} // namespace

FolderChipsBar::FolderChipsBar(ClipboardStore &store, Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_clock(clock)
    , m_row(new QHBoxLayout(this))
    , m_searchButton(new RoundIconButton(QStringLiteral("magnifyingglass"), kSecondary, this))
    , m_searchField(new SearchTextField(this))
    , m_recentsChip(new FolderChip(QStringLiteral("clock.arrow.circlepath"), QStringLiteral("Presse-papiers récents"),
                                   FolderPalette::gray(), this))
    , m_addButton(new RoundIconButton(QStringLiteral("plus"), QColor(255, 255, 255, 235), this))
{
    setObjectName(QStringLiteral("FolderChipsBar"));
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(10);
    m_addButton->setToolTip(QStringLiteral("Nouveau dossier"));

    connect(m_searchButton, &QAbstractButton::clicked, this, &FolderChipsBar::toggleSearch);
    connect(m_addButton, &QAbstractButton::clicked, this, &FolderChipsBar::beginAdding);
    connect(m_recentsChip, &QAbstractButton::clicked, this, [this] { m_store.setCurrentFolder(std::nullopt); });
    connect(m_recentsChip, &FolderChip::dropHoverChanged, this, [this](bool on) { m_isTargetedRecent = on; });
    connect(m_recentsChip, &FolderChip::dropped, this,
            [this](const QMimeData *mime, bool *accepted) { *accepted = dropOn(std::nullopt, mime); });

    connect(m_searchField, &SearchTextField::queryEdited, this, [this](const QString &text) {
        if (m_store.searchQuery() != text)
            m_store.setSearchQuery(text);
    });
    connect(m_searchField, &SearchTextField::focusChanged, this, [this](bool on) { m_searchFocused = on; });

    connect(&store, &ClipboardStore::foldersChanged, this, &FolderChipsBar::rebuildChips);
    connect(&store, &ClipboardStore::currentFolderChanged, this, &FolderChipsBar::updateSelection);
    connect(&store, &ClipboardStore::searchActiveChanged, this, &FolderChipsBar::onSearchActiveChanged);
    connect(&store, &ClipboardStore::searchQueryChanged, this, &FolderChipsBar::onSearchQueryChanged);

    rebuildChips();
    onSearchActiveChanged();
    m_searchField->setQuery(store.searchQuery());
}

FolderChipsBar::~FolderChipsBar()
{
    // QWidget's destructor hides the children and closes the popover, which
    // emits focusChanged and cancelled after this object is gone; none of
    // the children may reach back into it from then on.
    for (QObject *child : children())
        child->disconnect(this);
}

void FolderChipsBar::rebuildChips()
{
    for (FolderChip *chip : std::as_const(m_folderChips))
        chip->deleteLater();
    m_folderChips.clear();
    while (m_row->count() > 0)
        delete m_row->takeAt(0); // the item only; the widget stays

    m_row->addStretch(1);
    m_row->addWidget(m_searchButton);
    m_row->addWidget(m_searchField);
    m_row->addWidget(m_recentsChip);
    const QList<ClipboardFolder> folders = m_store.folders();
    for (int k = 0; k < folders.size(); ++k) {
        const ClipboardFolder folder = folders[k];
        auto *chip = new FolderChip(QStringLiteral("folder.fill"), folder.name, FolderPalette::color(k), this);
        chip->setProperty("folderId", folder.id);
        chip->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chip, &QAbstractButton::clicked, this, [this, id = folder.id] { m_store.setCurrentFolder(id); });
        connect(chip, &QWidget::customContextMenuRequested, this, [this, chip, id = folder.id](const QPoint &pos) {
            for (const ClipboardFolder &f : m_store.folders()) {
                if (f.id == id) {
                    QMenu *menu = createFolderMenu(f, this);
                    menu->setAttribute(Qt::WA_DeleteOnClose);
                    menu->popup(chip->mapToGlobal(pos));
                    return;
                }
            }
        });
        connect(chip, &FolderChip::dropHoverChanged, this, [this, id = folder.id](bool on) {
            if (on)
                m_targetedFolderID = id;
            else if (m_targetedFolderID == id)
                m_targetedFolderID.reset();
        });
        connect(chip, &FolderChip::dropped, this,
                [this, id = folder.id](const QMimeData *mime, bool *accepted) { *accepted = dropOn(id, mime); });
        m_folderChips.append(chip);
        m_row->addWidget(chip);
    }
    m_row->addWidget(m_addButton);
    m_row->addStretch(1);
    updateSelection();
    onSearchActiveChanged();
}

void FolderChipsBar::updateSelection()
{
    const std::optional<QUuid> current = m_store.currentFolder();
    m_recentsChip->setSelected(!current.has_value());
    for (FolderChip *chip : std::as_const(m_folderChips))
        chip->setSelected(current && chip->property("folderId").toUuid() == *current);
}

void FolderChipsBar::onSearchActiveChanged()
{
    const bool searching = m_store.searchActive();
    m_searchButton->setSymbol(searching ? QStringLiteral("xmark.circle.fill") : QStringLiteral("magnifyingglass"),
                              searching ? kRed : kSecondary);
    m_searchButton->setToolTip(searching ? QStringLiteral("Fermer la recherche") : QStringLiteral("Rechercher"));
    m_searchField->setVisible(searching);
    m_recentsChip->setVisible(!searching);
    for (FolderChip *chip : std::as_const(m_folderChips))
        chip->setVisible(!searching);
    m_addButton->setVisible(!searching);
    if (searching && !m_searchField->hasFocus()) {
        // The field has just appeared; it takes the focus a moment later.
        QPointer<SearchTextField> field = m_searchField;
        m_clock.schedule(kFocusDelaySeconds, this, [this, field] {
            if (field && field->isVisible() && m_store.searchActive()) {
                field->activateWindow();
                field->setFocus(Qt::OtherFocusReason);
                setSearchFocused(true);
            }
        });
    } else if (!searching && m_searchField->hasFocus()) {
        m_searchField->clearFocus();
    }
}

void FolderChipsBar::onSearchQueryChanged()
{
    const QString query = m_store.searchQuery();
    m_searchField->setQuery(query);
    if (query.isEmpty() && m_store.searchActive()) {
        m_store.setSearchActive(false);
        setSearchFocused(false);
    }
}

void FolderChipsBar::setSearchFocused(bool focused)
{
    m_searchFocused = focused;
    if (!focused && m_searchField->hasFocus())
        m_searchField->clearFocus();
}

void FolderChipsBar::toggleSearch()
{
    const bool now = !m_store.searchActive();
    m_store.setSearchActive(now);
    if (!now) {
        m_store.setSearchQuery(QString());
        setSearchFocused(false);
    }
}

void FolderChipsBar::openPopover(FolderNamePopover *popover)
{
    if (m_popover)
        m_popover->close();
    m_popover = popover;
    // Below the bar would cover the strip; the panel sits at the screen's
    // bottom, so the popover opens above the bar.
    popover->adjustSize();
    const QPoint anchor = mapToGlobal(QPoint(width() / 2 - popover->width() / 2, -popover->height() - 6));
    popover->popUpAt(anchor);
}

void FolderChipsBar::beginAdding()
{
    m_adding = true;
    auto *popover = new FolderNamePopover(QStringLiteral("Nouveau dossier"), QStringLiteral("Créer"), 220, this);
    popover->setText(QString());
    connect(popover, &FolderNamePopover::confirmed, this, [this](const QString &name) {
        m_store.createFolder(name);
        m_adding = false;
    });
    connect(popover, &FolderNamePopover::cancelled, this, [this] { m_adding = false; });
    openPopover(popover);
}

void FolderChipsBar::beginRenaming(const ClipboardFolder &folder)
{
    m_renaming = folder;
    auto *popover = new FolderNamePopover(QStringLiteral("Renommer « ") + folder.name + QStringLiteral(" »"),
                                          QStringLiteral("Renommer"), 240, this);
    popover->setText(folder.name);
    connect(popover, &FolderNamePopover::confirmed, this, [this, id = folder.id](const QString &name) {
        m_store.renameFolder(id, name);
        m_renaming.reset();
    });
    connect(popover, &FolderNamePopover::cancelled, this, [this] { m_renaming.reset(); });
    openPopover(popover);
}

QMenu *FolderChipsBar::createFolderMenu(const ClipboardFolder &folder, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->addAction(QStringLiteral("Renommer..."), this, [this, folder] { beginRenaming(folder); });
    menu->addAction(QStringLiteral("Vider ce dossier (sauf épinglés)"), this,
                    [this, id = folder.id] { m_store.clearFolder(id); });
    menu->addAction(QStringLiteral("Supprimer"), this, [this, id = folder.id] { m_store.deleteFolder(id); });
    return menu;
}

bool FolderChipsBar::dropOn(const std::optional<QUuid> &folderId, const QMimeData *mime)
{
    std::optional<ClipboardFolder> target;
    if (folderId) {
        for (const ClipboardFolder &folder : m_store.folders()) {
            if (folder.id == *folderId)
                target = folder;
        }
    }
    return FolderDropHandler::handleDrop({mime}, target, QPointer<ClipboardStore>(&m_store));
}
