// The "Conserver l’historique" rule against a fake clock.
#include <gtest/gtest.h>

#include "model/referencedate.h"
#include "shellfixture.h"

namespace {

using ClipSamples::text;

// Clips aged in days from the fake clock's now; pinned ones always stay.
void startWith(ShellFixture &fx, const QString &keep)
{
    if (!keep.isEmpty())
        fx.defaults.setString(QStringLiteral("bramblet.history.keep"), keep);
    const auto age = [&](double days) { return referenceDateFromUnix(fx.clock.now()) - days * 86400; };
    const ClipboardFolder folder = StoreFixture::folder(QStringLiteral("Projets"));
    fx.start({text("fresh", age(0.5)), text("two days", age(2)), text("ten days", age(10)), text("forty days", age(40)),
              pinnedClip("old pinned", age(40)), text("old in folder", age(40), folder.id),
              pinnedClip("old pinned in folder", age(40), folder.id)},
             {folder});
}

QStringList previews(const ShellFixture &fx)
{
    QStringList out;
    for (const ClipboardItem &i : fx.store->items())
        out << i.preview;
    return out;
}

// Nothing stored, or a value that is no choice, means "Toujours".
TEST(HistoryRetentionTest, start_removes_old_unpinned_clips_folders_included_in_one_write)
{
    const QStringList all = {"fresh", "two days", "ten days", "forty days", "old pinned", "old in folder",
                             "old pinned in folder"};
    const QList<std::pair<QString, QStringList>> rows = {
        {"Jour", {"fresh", "old pinned", "old pinned in folder"}},
        {"Semaine", {"fresh", "two days", "old pinned", "old pinned in folder"}},
        {"Mois", {"fresh", "two days", "ten days", "old pinned", "old pinned in folder"}},
        {"", all},
        {"Décennie", all}};
    for (const auto &[keep, survivors] : rows) {
        ShellFixture fx;
        startWith(fx, keep);
        fx.retention->start();
        fx.clock.advance(5 * 3600); // the hourly check removes nothing more
        EXPECT_EQ(previews(fx), survivors) << keep.toStdString();
        EXPECT_EQ(fx.files.writes, survivors == all ? 0 : 1) << keep.toStdString();
        EXPECT_EQ(fx.files.lastFolders.size(), survivors == all ? 0 : 1); // the folder itself stays
    }
}

TEST(HistoryRetentionTest, prunes_every_hour_writing_only_when_something_went_and_a_new_rule_applies_at_once)
{
    ShellFixture fx;
    startWith(fx, QStringLiteral("Jour"));
    fx.retention->start();
    fx.clock.advance(3600); // "fresh" (12 h old at start) is still under a day
    EXPECT_EQ(fx.store->items().size(), 3);
    EXPECT_EQ(fx.files.writes, 1);
    fx.clock.advance(12 * 3600);
    EXPECT_EQ(fx.store->items().size(), 2);
    EXPECT_EQ(fx.files.writes, 2);

    ShellFixture other;
    startWith(other, QString());
    other.retention->setKeep(QStringLiteral("Semaine"));
    EXPECT_EQ(other.defaults.stringValue(QStringLiteral("bramblet.history.keep")), QStringLiteral("Semaine"));
    EXPECT_EQ(other.store->items().size(), 4);
    other.retention->setKeep(QStringLiteral("n’importe quoi"));
    EXPECT_EQ(other.retention->keep(), QStringLiteral("Semaine"));
}

} // namespace
