// What the running instance answers to each command, and what it does.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "app/instancecommandhandler.h"
#include "model/referencedate.h"
#include "model/uuidtext.h"
#include "shellfixture.h"

namespace {

class HandlerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = makeFolder(QStringLiteral("Travail"));
        oldest = makeClip(QStringLiteral("le plus ancien"), 100);
        middle = makeClip(QStringLiteral("au milieu\nsur deux lignes"), 200, true, work.id);
        newest = makeClip(QStringLiteral("le plus récent"), 300);
        fx.start({oldest, newest, middle}, {work});
        handler = std::make_unique<InstanceCommandHandler>(
            *fx.store, InstanceCommandHandler::Actions{[this] { ++toggles; }, [this] { ++settings; },
                                                       [this] { ++quits; }, [this](const ClipboardItem &item) {
                                                           suppressedAtWrite = fx.store->isCaptureSuppressed();
                                                           written.append(item);
                                                           return writeSucceeds;
                                                       }});
    }

    InstanceReply run(const QStringList &args) { return handler->handle(CliCommand::parse(args)); }

    ShellFixture fx;
    ClipboardFolder work;
    ClipboardItem oldest, middle, newest;
    std::unique_ptr<InstanceCommandHandler> handler;
    int toggles = 0, settings = 0, quits = 0;
    QList<ClipboardItem> written;
    bool writeSucceeds = true;
    bool suppressedAtWrite = false;
};

TEST_F(HandlerTest, list_is_newest_first_with_global_ranks)
{
    const InstanceReply r = run({"list"});
    EXPECT_EQ(r.exitCode, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("  1  ") + uuidTag(newest.id)));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("📌 [Travail] au milieu sur deux lignes"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("  3  ") + uuidTag(oldest.id)));
}

TEST_F(HandlerTest, list_json_with_folder_keeps_global_rank)
{
    const InstanceReply r = run({"list", "--json", "--folder", "travail"});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonArray array = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject o = array.first().toObject();
    EXPECT_EQ(o.value("index").toInt(), 2);
    EXPECT_EQ(o.value("id").toString(), uuidText(middle.id));
    EXPECT_EQ(o.value("folder").toString(), QStringLiteral("Travail"));
    EXPECT_TRUE(o.value("pinned").toBool());
    EXPECT_EQ(o.value("kind").toString(), QStringLiteral("text"));
    EXPECT_EQ(o.value("createdAt").toString(), QStringLiteral("2001-01-01T00:03:20Z"));
}

// Regression: a date beyond the range of a 64-bit millisecond count, as a
// damaged history file may hold, was cast to one for the JSON listing.
TEST_F(HandlerTest, list_json_shows_clips_with_absurd_dates)
{
    ClipboardItem far = makeClip(QStringLiteral("loin"), 1e300);
    ClipboardItem before = makeClip(QStringLiteral("avant"), -1.7e308);
    handler.reset(); // it holds the store that start() replaces
    fx.start({far, before}, {});
    handler = std::make_unique<InstanceCommandHandler>(*fx.store, InstanceCommandHandler::Actions{});
    const InstanceReply r = run({"list", "--json"});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonArray array = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array[0].toObject().value("id").toString(), uuidText(far.id));
    EXPECT_EQ(array[1].toObject().value("id").toString(), uuidText(before.id));
}

TEST_F(HandlerTest, list_limit_cuts_the_listing)
{
    const InstanceReply r = run({"list", "--limit", "2"});
    EXPECT_EQ(r.out.count(u'\n'), 2);
}

TEST_F(HandlerTest, list_of_an_unknown_folder_fails_with_exit_one)
{
    const InstanceReply r = run({"list", "--folder", "Inconnu"});
    EXPECT_EQ(r.exitCode, CliCommand::ExitFailed);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Inconnu")));
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(HandlerTest, copy_by_rank_writes_that_clip_with_capture_suppressed)
{
    const int writesBefore = fx.files.writes;
    const InstanceReply r = run({"copy", "3"});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written.first().id, oldest.id);
    EXPECT_TRUE(suppressedAtWrite);
    EXPECT_EQ(fx.store->items().size(), 3);
    EXPECT_EQ(fx.files.writes, writesBefore);
}

TEST_F(HandlerTest, copy_by_short_id_and_by_full_id)
{
    EXPECT_EQ(run({"copy", uuidTag(middle.id).toLower()}).exitCode, 0);
    EXPECT_EQ(run({"copy", uuidText(newest.id)}).exitCode, 0);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[0].id, middle.id);
    EXPECT_EQ(written[1].id, newest.id);
}

// Regression: an id whose first 8 characters are all digits was taken for an
// out-of-range rank, so `copy` refused a clip that `list` had just shown.
TEST_F(HandlerTest, copy_by_an_all_digit_short_id)
{
    ClipboardItem digits = makeClip(QStringLiteral("chiffres"), 400);
    digits.id = QUuid(QStringLiteral("12345678-0000-4000-8000-000000000001"));
    handler.reset(); // it holds the store that start() replaces
    fx.start({oldest, newest, middle, digits}, {work});
    handler = std::make_unique<InstanceCommandHandler>(
        *fx.store, InstanceCommandHandler::Actions{{}, {}, {}, [this](const ClipboardItem &item) {
                                                       written.append(item);
                                                       return true;
                                                   }});
    EXPECT_EQ(run({"copy", "12345678"}).exitCode, 0);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written.first().id, digits.id);
}

TEST_F(HandlerTest, copy_out_of_range_or_unknown_fails_without_writing)
{
    EXPECT_EQ(run({"copy", "0"}).exitCode, CliCommand::ExitFailed);
    EXPECT_EQ(run({"copy", "4"}).exitCode, CliCommand::ExitFailed);
    EXPECT_EQ(run({"copy", "ZZZZZZZZ"}).exitCode, CliCommand::ExitFailed);
    EXPECT_EQ(run({"copy", "ab"}).exitCode, CliCommand::ExitFailed); // too short to be an id prefix
    EXPECT_TRUE(written.isEmpty());
    EXPECT_FALSE(fx.store->isCaptureSuppressed());
}

TEST_F(HandlerTest, failed_write_withdraws_the_suppression)
{
    writeSucceeds = false;
    const InstanceReply r = run({"copy", "1"});
    EXPECT_EQ(r.exitCode, CliCommand::ExitFailed);
    EXPECT_FALSE(fx.store->isCaptureSuppressed());
}

TEST_F(HandlerTest, toggle_settings_and_quit_reach_their_actions)
{
    EXPECT_EQ(run({"toggle"}).exitCode, 0);
    EXPECT_EQ(run({}).exitCode, 0);
    EXPECT_EQ(run({"quit"}).exitCode, 0);
    EXPECT_EQ(toggles, 1);
    EXPECT_EQ(settings, 1);
    EXPECT_EQ(quits, 1);
}

TEST_F(HandlerTest, invalid_request_is_a_usage_error)
{
    const InstanceReply r = handler->handle(CliCommand::fromRequest({{"command", "format-disk"}}));
    EXPECT_EQ(r.exitCode, CliCommand::ExitUsage);
    EXPECT_FALSE(r.err.isEmpty());
}

TEST(InstanceReplyJson, malformed_reply_reads_as_failure)
{
    EXPECT_EQ(InstanceReply::fromJson({}).exitCode, CliCommand::ExitFailed);
    const InstanceReply ok = InstanceReply::fromJson(InstanceReply{0, "a", "b"}.toJson());
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out, QStringLiteral("a"));
    EXPECT_EQ(ok.err, QStringLiteral("b"));
}

} // namespace
