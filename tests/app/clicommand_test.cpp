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
                 QStringLiteral("3F2A1B2C")},
        ParseRow{"help_word", {"help"}, K::Help},
        ParseRow{"help_ignores_what_follows", {"--help", "--bogus"}, K::Help},
        ParseRow{"short_version", {"-v"}, K::Version},
        ParseRow{"version_word_ignores_what_follows", {"version", "x"}, K::Version},
        ParseRow{"first_of_version_and_help_wins", {"--version", "--help"}, K::Version},
        ParseRow{"settings", {"settings"}, K::Settings},
        ParseRow{"list_json_twice", {"list", "--json", "--json"}, K::List, true},
        ParseRow{"last_folder_and_limit_win", {"list", "--folder", "A", "--folder=B", "--limit", "3", "--limit=4"},
                 K::List, false, QStringLiteral("B"), 4},
        ParseRow{"folder_value_may_look_like_an_option", {"list", "--folder", "--json"}, K::List, false,
                 QStringLiteral("--json")},
        ParseRow{"folder_named_double_dash", {"list", "--folder", "--"}, K::List, false, QStringLiteral("--")},
        ParseRow{"copy_target_may_start_with_a_dash", {"copy", "-3"}, K::Copy, false, std::nullopt, std::nullopt,
                 QStringLiteral("-3")}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefuseRow {
    const char *name;
    QStringList args;
    const char *mentions;
    const char *message; // the whole message, exactly
};

class CliRefuse : public ::testing::TestWithParam<RefuseRow>
{
};

TEST_P(CliRefuse, is_invalid_with_a_message)
{
    const CliCommand c = CliCommand::parse(GetParam().args);
    EXPECT_EQ(c.kind, K::Invalid);
    EXPECT_TRUE(c.error.contains(QString::fromUtf8(GetParam().mentions))) << c.error.toStdString();
    EXPECT_EQ(c.error, QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Refused, CliRefuse,
    ::testing::Values(
        RefuseRow{"unknown_command", {"paste"}, "paste", "Commande inconnue : « paste »."},
        RefuseRow{"unknown_list_option", {"list", "--all"}, "--all", "Option inconnue pour list : « --all »."},
        RefuseRow{"limit_zero", {"list", "--limit", "0"}, "0", "--limit attend un nombre entier positif, pas « 0 »."},
        RefuseRow{"limit_negative", {"list", "--limit", "-4"}, "-4",
                  "--limit attend un nombre entier positif, pas « -4 »."},
        RefuseRow{"limit_not_a_number", {"list", "--limit", "dix"}, "dix",
                  "--limit attend un nombre entier positif, pas « dix »."},
        RefuseRow{"limit_missing_value", {"list", "--limit"}, "--limit", "--limit attend un nombre entier positif."},
        RefuseRow{"folder_missing_value", {"list", "--folder"}, "--folder", "--folder attend le nom d’un dossier."},
        RefuseRow{"folder_blank", {"list", "--folder", "  "}, "--folder", "--folder attend le nom d’un dossier."},
        RefuseRow{"copy_without_target", {"copy"}, "copy",
                  "copy attend un seul argument : l’identifiant ou le rang d’un élément."},
        RefuseRow{"copy_two_targets", {"copy", "1", "2"}, "copy",
                  "copy attend un seul argument : l’identifiant ou le rang d’un élément."},
        RefuseRow{"toggle_with_extra_argument", {"toggle", "now"}, "now", "toggle ne prend aucun argument (reçu « now »)."},
        RefuseRow{"quit_with_extra_argument", {"quit", "-f"}, "-f", "quit ne prend aucun argument (reçu « -f »)."},
        RefuseRow{"settings_with_extra_argument", {"settings", "x"}, "x",
                  "settings ne prend aucun argument (reçu « x »)."},
        RefuseRow{"help_after_a_command_is_an_argument", {"toggle", "--help"}, "--help",
                  "toggle ne prend aucun argument (reçu « --help »)."},
        RefuseRow{"unknown_option_first", {"--bogus", "--help"}, "--bogus", "Commande inconnue : « --bogus »."},
        RefuseRow{"short_help_written_long", {"--h"}, "--h", "Commande inconnue : « --h »."},
        RefuseRow{"long_help_written_short", {"-help"}, "-help", "Commande inconnue : « -help »."},
        RefuseRow{"bundled_short_options", {"-hv"}, "-hv", "Commande inconnue : « -hv »."},
        RefuseRow{"help_with_a_value", {"--help=1"}, "--help=1", "Commande inconnue : « --help=1 »."},
        RefuseRow{"double_dash_before_the_command", {"--", "toggle"}, "--", "Commande inconnue : « -- »."},
        RefuseRow{"lone_dash", {"-"}, "-", "Commande inconnue : « - »."},
        RefuseRow{"empty_command", {""}, "«", "Commande inconnue : «  »."},
        RefuseRow{"list_word_that_is_no_option", {"list", "Travail"}, "Travail",
                  "Option inconnue pour list : « Travail »."},
        RefuseRow{"list_single_dash_word", {"list", "-json"}, "-json", "Option inconnue pour list : « -json »."},
        RefuseRow{"list_option_prefix", {"list", "--lim", "3"}, "--lim", "Option inconnue pour list : « --lim »."},
        RefuseRow{"json_with_a_value", {"list", "--json=1"}, "--json=1", "Option inconnue pour list : « --json=1 »."},
        RefuseRow{"list_double_dash", {"list", "--json", "--"}, "--", "Option inconnue pour list : « -- »."},
        RefuseRow{"list_lone_dash", {"list", "-"}, "-", "Option inconnue pour list : « - »."},
        RefuseRow{"folder_empty_after_equals", {"list", "--folder="}, "--folder", "--folder attend le nom d’un dossier."},
        RefuseRow{"limit_fraction_after_equals", {"list", "--limit=2.5"}, "2.5",
                  "--limit attend un nombre entier positif, pas « 2.5 »."},
        RefuseRow{"copy_blank_target", {"copy", "  "}, "copy",
                  "copy attend un seul argument : l’identifiant ou le rang d’un élément."}),
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
