// What the running instance answers to each command, and what it does.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "app/instancecommandhandler.h"
#include "model/uuidtext.h"
#include "shellfixture.h"

namespace {

using ClipSamples::text;

class HandlerTest : public ::testing::Test
{
protected:
    void SetUp() override { startWith({oldest, newest, middle}); }

    void startWith(const QList<ClipboardItem> &items)
    {
        handler.reset(); // it holds the store that start() replaces
        fx.start(items, {work});
        // Toggle, settings and quit reach the running program in the app end-to-end test.
        handler = std::make_unique<InstanceCommandHandler>(
            *fx.store, InstanceCommandHandler::Actions{[] {}, [] {}, [] {}, [this](const ClipboardItem &item) {
                                                           suppressedAtWrite = fx.store->isCaptureSuppressed();
                                                           written.append(item.id);
                                                           return writeSucceeds;
                                                       }});
    }

    InstanceReply run(const QStringList &args) { return handler->handle(CliCommand::parse(args)); }

    ShellFixture fx;
    ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    ClipboardItem oldest = text(QStringLiteral("le plus ancien"), 100);
    ClipboardItem middle = pinnedClip(QStringLiteral("au milieu\nsur deux lignes"), 200, work.id);
    ClipboardItem newest = text(QStringLiteral("le plus récent"), 300);
    std::unique_ptr<InstanceCommandHandler> handler;
    QList<QUuid> written;
    bool writeSucceeds = true;
    bool suppressedAtWrite = false;
};

TEST_F(HandlerTest, list_is_newest_first_with_global_ranks_limit_and_folder)
{
    const InstanceReply r = run({"list"});
    EXPECT_EQ(r.exitCode, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("  1  ") + uuidTag(newest.id)));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("📌 [Travail] au milieu sur deux lignes"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("  3  ") + uuidTag(oldest.id)));
    EXPECT_EQ(run({"list", "--limit", "2"}).out.count(u'\n'), 2);

    const QJsonArray array = QJsonDocument::fromJson(run({"list", "--json", "--folder", "travail"}).out.toUtf8()).array();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject o = array.first().toObject();
    EXPECT_EQ(o.value("index").toInt(), 2) << "the rank in the whole history";
    EXPECT_EQ(o.value("id").toString(), uuidText(middle.id));
    EXPECT_EQ(o.value("folder").toString(), QStringLiteral("Travail"));
    EXPECT_TRUE(o.value("pinned").toBool());
    EXPECT_EQ(o.value("kind").toString(), QStringLiteral("text"));
    EXPECT_EQ(o.value("createdAt").toString(), QStringLiteral("2001-01-01T00:03:20Z"));

    const InstanceReply unknown = run({"list", "--folder", "Inconnu"});
    EXPECT_EQ(unknown.exitCode, CliCommand::ExitFailed);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("Inconnu")));
}

// Regression: a date beyond the range of a 64-bit millisecond count, as a
// damaged history file may hold, was cast to one for the JSON listing.
TEST_F(HandlerTest, list_json_shows_clips_with_absurd_dates)
{
    startWith({text(QStringLiteral("loin"), 1e300), text(QStringLiteral("avant"), -1.7e308)});
    const InstanceReply r = run({"list", "--json"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).array().size(), 2);
}

// Regression: an id whose first 8 characters are all digits was taken for an
// out-of-range rank, so `copy` refused a clip that `list` had just shown.
TEST_F(HandlerTest, copy_by_rank_short_id_or_full_id_writes_that_clip_with_capture_suppressed)
{
    ClipboardItem digits = text(QStringLiteral("chiffres"), 50);
    digits.id = QUuid(QStringLiteral("12345678-0000-4000-8000-000000000001"));
    startWith({oldest, newest, middle, digits});
    const int writesBefore = fx.files.writes;
    EXPECT_EQ(run({"copy", "3"}).exitCode, 0);
    EXPECT_TRUE(suppressedAtWrite);
    EXPECT_EQ(run({"copy", "4"}).exitCode, 0) << "the oldest clip's rank";
    EXPECT_EQ(run({"copy", uuidTag(middle.id).toLower()}).exitCode, 0);
    EXPECT_EQ(run({"copy", uuidText(newest.id)}).exitCode, 0);
    EXPECT_EQ(run({"copy", "12345678"}).exitCode, 0);
    EXPECT_EQ(written, (QList<QUuid>{oldest.id, digits.id, middle.id, newest.id, digits.id}));
    EXPECT_EQ(fx.store->items().size(), 4);
    EXPECT_EQ(fx.files.writes, writesBefore);
}

TEST_F(HandlerTest, copy_out_of_range_unknown_or_failed_and_undecodable_requests_leave_capture_on)
{
    for (const char *target : {"0", "4", "ZZZZZZZZ", "ab"})
        EXPECT_EQ(run({"copy", target}).exitCode, CliCommand::ExitFailed) << target;
    EXPECT_TRUE(written.isEmpty());
    writeSucceeds = false;
    EXPECT_EQ(run({"copy", "1"}).exitCode, CliCommand::ExitFailed);
    EXPECT_FALSE(fx.store->isCaptureSuppressed());

    // A request or a reply that does not decode is an error, never an action.
    EXPECT_EQ(handler->handle(CliCommand::fromRequest({{"command", "format-disk"}})).exitCode, CliCommand::ExitUsage);
    EXPECT_EQ(InstanceReply::fromJson({}).exitCode, CliCommand::ExitFailed);
}

} // namespace
