#include "storefixture.h"

#include "model/referencedate.h"

StoreFixture::StoreFixture()
    : files(tmp.path())
    , defaults(tmp.path() + QStringLiteral("/defaults.conf"))
{
}

StoreFixture::~StoreFixture() = default;

ClipboardStore &StoreFixture::makeStore(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders)
{
    store.reset();
    files.preset = {items, folders};
    store = std::make_unique<ClipboardStore>(files, clock, defaults, sound);
    return *store;
}

ClipboardItem StoreFixture::textClip(const QString &text, double age, std::optional<QUuid> folder) const
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = ClipKind::Text;
    item.preview = text;
    item.dataUTI = QStringLiteral("public.plain-text");
    item.raw = text.toUtf8();
    item.createdAt = referenceDateFromUnix(clock.now()) - age;
    item.folderId = folder;
    return item;
}

ClipboardFolder StoreFixture::folder(const QString &name)
{
    ClipboardFolder f;
    f.id = QUuid::createUuid();
    f.name = name;
    return f;
}

QList<ClipboardItem> StoreFixture::textClips(int n) const
{
    QList<ClipboardItem> out;
    for (int i = 0; i < n; ++i)
        out.append(textClip(QStringLiteral("clip %1").arg(i), i));
    return out;
}
