// The "Conserver l’historique" rule against a fake clock.
#include <gtest/gtest.h>

#include "model/referencedate.h"
#include "shellfixture.h"

namespace {

constexpr double kDay = 86400;
using ClipSamples::text;

class RetentionTest : public ::testing::Test
{
protected:
    // Clip ages in days, measured from the fake clock's now.
    double ageDays(double days) const { return referenceDateFromUnix(fx.clock.now()) - days * kDay; }

    void startWith(const QString &keep)
    {
        if (!keep.isEmpty())
            fx.defaults.setString(QStringLiteral("bramblet.history.keep"), keep);
        const ClipboardFolder folder = StoreFixture::folder(QStringLiteral("Projets"));
        fx.start({text("fresh", ageDays(0.5)), text("two days", ageDays(2)), text("ten days", ageDays(10)),
                  text("forty days", ageDays(40)), pinnedClip("old pinned", ageDays(40)),
                  text("old in folder", ageDays(40), folder.id), pinnedClip("old pinned in folder", ageDays(40), folder.id)},
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
};

TEST_F(RetentionTest, nothing_or_a_wrong_value_stored_means_toujours_and_keeps_everything)
{
    fx.defaults.setBool(QStringLiteral("bramblet.history.keep"), true);
    startWith(QString());
    EXPECT_EQ(fx.retention->keep(), QStringLiteral("Toujours"));
    fx.retention->start();
    fx.clock.advance(5 * 3600);
    EXPECT_EQ(fx.store->items().size(), 7);
    EXPECT_EQ(fx.files.writes, 0);
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
    fx.retention->start();
    EXPECT_EQ(previews(), GetParam().survivors);
    EXPECT_EQ(fx.files.writes, 1);
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

TEST_F(RetentionTest, prunes_again_every_hour_writing_only_when_something_went)
{
    startWith(QStringLiteral("Jour"));
    fx.retention->start();
    const int writes = fx.files.writes;
    fx.clock.advance(3600); // "fresh" (12 h old at start) is still under a day
    EXPECT_EQ(fx.store->items().size(), 3);
    EXPECT_EQ(fx.files.writes, writes);
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

} // namespace
