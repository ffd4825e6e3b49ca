// Command-line parsing: every accepted form, every refusal, and the request
// that travels to the running instance.
#include <gtest/gtest.h>

#include "app/clicommand.h"

namespace {

struct ParseRow {
    const char *name;
    QStringList args;
    CliCommand::Kind kind;
    bool json = false;
    std::optional<QString> folder;
    std::optional<int> limit;
    QString target;
};

class CliParse : public ::testing::TestWithParam<ParseRow>
{
};

TEST_P(CliParse, gives_the_expected_command)
{
    const ParseRow &row = GetParam();
    const CliCommand c = CliCommand::parse(row.args);
    EXPECT_EQ(c.kind, row.kind) << c.error.toStdString();
    EXPECT_EQ(c.json, row.json);
    EXPECT_EQ(c.folder, row.folder);
    EXPECT_EQ(c.limit, row.limit);
    EXPECT_EQ(c.target, row.target);
    EXPECT_TRUE(c.error.isEmpty());
}

using K = CliCommand::Kind;
INSTANTIATE_TEST_SUITE_P(
    Accepted, CliParse,
    ::testing::Values(
        ParseRow{"no_argument_starts", {}, K::Start},
        ParseRow{"toggle", {"toggle"}, K::Toggle},
        ParseRow{"quit", {"quit"}, K::Quit},
        ParseRow{"long_help", {"--help"}, K::Help},
        ParseRow{"short_help", {"-h"}, K::Help},
        ParseRow{"long_version", {"--version"}, K::Version},
        ParseRow{"plain_list", {"list"}, K::List},
        ParseRow{"list_json_folder_limit", {"list", "--json", "--folder", "Travail", "--limit", "3"}, K::List, true,
                 QStringLiteral("Travail"), 3},
        ParseRow{"list_with_equals_forms", {"list", "--folder=Mes notes", "--limit=12"}, K::List, false,
                 QStringLiteral("Mes notes"), 12},
        ParseRow{"copy_by_index", {"copy", "2"}, K::Copy, false, std::nullopt, std::nullopt, QStringLiteral("2")},
        ParseRow{"copy_by_id_is_trimmed", {"copy", " 3F2A1B2C "}, K::Copy, false, std::nullopt, std::nullopt,
                 QStringLiteral("3F2A1B2C")}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefuseRow {
    const char *name;
    QStringList args;
    const char *mentions;
};

class CliRefuse : public ::testing::TestWithParam<RefuseRow>
{
};

TEST_P(CliRefuse, is_invalid_with_a_message)
{
    const CliCommand c = CliCommand::parse(GetParam().args);
    EXPECT_EQ(c.kind, K::Invalid);
    EXPECT_TRUE(c.error.contains(QString::fromUtf8(GetParam().mentions))) << c.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Refused, CliRefuse,
    ::testing::Values(RefuseRow{"unknown_command", {"paste"}, "paste"},
                      RefuseRow{"unknown_list_option", {"list", "--all"}, "--all"},
                      RefuseRow{"limit_zero", {"list", "--limit", "0"}, "0"},
                      RefuseRow{"limit_negative", {"list", "--limit", "-4"}, "-4"},
                      RefuseRow{"limit_not_a_number", {"list", "--limit", "dix"}, "dix"},
                      RefuseRow{"limit_missing_value", {"list", "--limit"}, "--limit"},
                      RefuseRow{"folder_missing_value", {"list", "--folder"}, "--folder"},
                      RefuseRow{"folder_blank", {"list", "--folder", "  "}, "--folder"},
                      RefuseRow{"copy_without_target", {"copy"}, "copy"},
                      RefuseRow{"copy_two_targets", {"copy", "1", "2"}, "copy"},
                      RefuseRow{"toggle_with_extra_argument", {"toggle", "now"}, "now"},
                      RefuseRow{"quit_with_extra_argument", {"quit", "-f"}, "-f"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CliRequest, list_round_trips_through_the_request)
{
    const CliCommand c = CliCommand::parse({"list", "--json", "--folder", "Travail", "--limit", "5"});
    const CliCommand back = CliCommand::fromRequest(c.toRequest());
    EXPECT_EQ(back.kind, K::List);
    EXPECT_TRUE(back.json);
    EXPECT_EQ(back.folder, QStringLiteral("Travail"));
    EXPECT_EQ(back.limit, 5);
}

TEST(CliRequest, start_travels_as_settings)
{
    EXPECT_EQ(CliCommand::fromRequest(CliCommand::parse({}).toRequest()).kind, K::Settings);
}

TEST(CliRequest, malformed_requests_are_invalid)
{
    EXPECT_EQ(CliCommand::fromRequest(QJsonObject{}).kind, K::Invalid);
    EXPECT_EQ(CliCommand::fromRequest({{"command", "rm -rf"}}).kind, K::Invalid);
    EXPECT_EQ(CliCommand::fromRequest({{"command", "copy"}}).kind, K::Invalid);
    EXPECT_EQ(CliCommand::fromRequest({{"command", "list"}, {"limit", -1}}).kind, K::Invalid);
    EXPECT_EQ(CliCommand::fromRequest({{"command", "list"}, {"limit", 1.5}}).kind, K::Invalid);
    EXPECT_EQ(CliCommand::fromRequest({{"command", "list"}, {"folder", 3}}).kind, K::Invalid);
}

TEST(CliText, help_names_every_command_and_the_exit_codes)
{
    const QString help = CliCommand::helpText();
    for (const char *word : {"toggle", "list", "--json", "--folder", "--limit", "copy", "quit", "--help", "--version", "3 Bramblet"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(word))) << word;
    EXPECT_TRUE(CliCommand::versionText().startsWith(QStringLiteral("Bramblet ")));
}

} // namespace
