// The "Conserver l’historique" rule against a fake clock.
#include <gtest/gtest.h>

#include "model/referencedate.h"
#include "shellfixture.h"
#include "support/logcapture.h"

namespace {

constexpr double kDay = 86400;

class RetentionTest : public ::testing::Test
{
protected:
    // Clip ages in days, measured from the fake clock's now.
    double ageDays(double days) const { return referenceDateFromUnix(fx.clock.now()) - days * kDay; }

    void startWith(const QString &keep)
    {
        if (!keep.isEmpty())
            fx.defaults.setString(QStringLiteral("bramblet.history.keep"), keep);
        folder = makeFolder(QStringLiteral("Projets"));
        fx.start({makeClip("fresh", ageDays(0.5)), makeClip("two days", ageDays(2)),
                  makeClip("ten days", ageDays(10)), makeClip("forty days", ageDays(40)),
                  makeClip("old pinned", ageDays(40), true), makeClip("old in folder", ageDays(40), false, folder.id),
                  makeClip("old pinned in folder", ageDays(40), true, folder.id)},
                 {folder});
    }

    QStringList previews() const
    {
        QStringList out;
        for (const ClipboardItem &i : fx.store->items())
            out << i.preview;
        return out;
    }

    ShellFixture fx;
    ClipboardFolder folder;
};

TEST_F(RetentionTest, nothing_stored_means_toujours_and_keeps_everything)
{
    startWith(QString());
    EXPECT_EQ(fx.retention->keep(), QStringLiteral("Toujours"));
    fx.retention->start();
    fx.clock.advance(5 * 3600);
    EXPECT_EQ(fx.store->items().size(), 7);
    EXPECT_EQ(fx.files.writes, 0);
}

TEST_F(RetentionTest, wrong_stored_value_counts_as_toujours)
{
    fx.defaults.setBool(QStringLiteral("bramblet.history.keep"), true);
    startWith(QString());
    EXPECT_EQ(fx.retention->keep(), QStringLiteral("Toujours"));
    fx.defaults.setString(QStringLiteral("bramblet.history.keep"), QStringLiteral("Décennie"));
    EXPECT_EQ(fx.retention->keep(), QStringLiteral("Toujours"));
}

struct RuleRow {
    const char *name;
    const char *keep;
    QStringList survivors;
};

class RetentionRule : public RetentionTest, public ::testing::WithParamInterface<RuleRow>
{
};

TEST_P(RetentionRule, start_removes_old_unpinned_clips_in_one_write)
{
    startWith(QString::fromUtf8(GetParam().keep));
    LogCapture log;
    fx.retention->start();
    EXPECT_EQ(previews(), GetParam().survivors);
    EXPECT_EQ(fx.files.writes, 1);
    const int removed = 7 - int(GetParam().survivors.size());
    EXPECT_EQ(log.matching(QStringLiteral("Store: retention removed")),
              QStringList{QStringLiteral("Store: retention removed %1 clip(s) older than %2").arg(removed).arg(GetParam().keep)});
    EXPECT_EQ(fx.files.lastFolders.size(), 1); // the folder itself stays
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RetentionRule,
    ::testing::Values(
        RuleRow{"jour_keeps_one_day", "Jour", {"fresh", "old pinned", "old pinned in folder"}},
        RuleRow{"semaine_keeps_seven_days", "Semaine", {"fresh", "two days", "old pinned", "old pinned in folder"}},
        RuleRow{"mois_keeps_thirty_days_folder_clips_included", "Mois",
                {"fresh", "two days", "ten days", "old pinned", "old pinned in folder"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(RetentionTest, prunes_again_every_hour)
{
    startWith(QStringLiteral("Jour"));
    fx.retention->start();
    EXPECT_EQ(fx.store->items().size(), 3);
    const int writes = fx.files.writes;
    fx.clock.advance(3599);
    EXPECT_EQ(fx.store->items().size(), 3);
    fx.clock.advance(1); // "fresh" (12 h old at start) is still under a day
    EXPECT_EQ(fx.store->items().size(), 3);
    EXPECT_EQ(fx.files.writes, writes); // nothing went: no write
    fx.clock.advance(12 * 3600);
    EXPECT_EQ(fx.store->items().size(), 2);
    EXPECT_EQ(fx.files.writes, writes + 1);
}

TEST_F(RetentionTest, choosing_a_rule_stores_it_and_applies_it_at_once)
{
    startWith(QString());
    fx.retention->setKeep(QStringLiteral("Semaine"));
    EXPECT_EQ(fx.defaults.stringValue(QStringLiteral("bramblet.history.keep")), QStringLiteral("Semaine"));
    EXPECT_EQ(fx.store->items().size(), 4);
    fx.retention->setKeep(QStringLiteral("n’importe quoi"));
    EXPECT_EQ(fx.retention->keep(), QStringLiteral("Semaine"));
}

TEST(RetentionChoices, are_in_picker_order_with_their_ages)
{
    EXPECT_EQ(HistoryRetention::choices(),
              (QStringList{QStringLiteral("Jour"), QStringLiteral("Semaine"), QStringLiteral("Mois"), QStringLiteral("Toujours")}));
    EXPECT_EQ(HistoryRetention::maxAgeSeconds(QStringLiteral("Jour")), kDay);
    EXPECT_EQ(HistoryRetention::maxAgeSeconds(QStringLiteral("Semaine")), 7 * kDay);
    EXPECT_EQ(HistoryRetention::maxAgeSeconds(QStringLiteral("Mois")), 30 * kDay);
    EXPECT_FALSE(HistoryRetention::maxAgeSeconds(QStringLiteral("Toujours")).has_value());
}

} // namespace
