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
    return ClipSamples::text(text, referenceDateFromUnix(clock.now()) - age, folder);
}

QList<ClipboardItem> StoreFixture::textClips(int n) const
{
    QList<ClipboardItem> out;
    for (int i = 0; i < n; ++i)
        out.append(textClip(QStringLiteral("clip %1").arg(i), i));
    return out;
}
