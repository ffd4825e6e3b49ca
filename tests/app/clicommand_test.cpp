// Command-line parsing: the accepted forms, the refusals, and the request
// that travels to the running instance.
#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "app/clicommand.h"

namespace {

using K = CliCommand::Kind;

struct ParseRow {
    const char *name;
    QStringList args;
    CliCommand::Kind kind;
    bool json = false;
    std::optional<QString> folder = {};
    std::optional<int> limit = {};
    QString target = {};
};

class CliParse : public ::testing::TestWithParam<ParseRow> {};

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

INSTANTIATE_TEST_SUITE_P(
    Accepted, CliParse,
    ::testing::Values(
        ParseRow{"no_argument_starts", {}, K::Start}, ParseRow{"toggle", {"toggle"}, K::Toggle},
        ParseRow{"quit", {"quit"}, K::Quit}, ParseRow{"settings", {"settings"}, K::Settings},
        ParseRow{"help_ignores_what_follows", {"--help", "--bogus"}, K::Help},
        ParseRow{"first_of_version_and_help_wins", {"-v", "--help"}, K::Version},
        ParseRow{"last_folder_and_limit_win_equals_forms_too",
                 {"list", "--json", "--folder", "A", "--folder=Mes notes", "--limit", "3", "--limit=4"}, K::List, true,
                 QStringLiteral("Mes notes"), 4},
        ParseRow{"folder_value_may_look_like_an_option", {"list", "--folder", "--json"}, K::List, false,
                 QStringLiteral("--json")},
        ParseRow{"copy_target_is_trimmed_and_may_start_with_a_dash", {"copy", " -3 "}, K::Copy, false, std::nullopt,
                 std::nullopt, QStringLiteral("-3")}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefuseRow {
    const char *name;
    QStringList args;
    const char *message; // the whole message, exactly
};

class CliRefuse : public ::testing::TestWithParam<RefuseRow> {};

TEST_P(CliRefuse, is_invalid_with_a_message)
{
    const CliCommand c = CliCommand::parse(GetParam().args);
    EXPECT_EQ(c.kind, K::Invalid);
    EXPECT_EQ(c.error, QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Refused, CliRefuse,
    ::testing::Values(
        RefuseRow{"unknown_option_first", {"--bogus", "--help"}, "Commande inconnue : « --bogus »."},
        RefuseRow{"double_dash_before_the_command", {"--", "toggle"}, "Commande inconnue : « -- »."},
        RefuseRow{"list_option_prefix", {"list", "--lim", "3"}, "Option inconnue pour list : « --lim »."},
        RefuseRow{"limit_zero", {"list", "--limit", "0"}, "--limit attend un nombre entier positif, pas « 0 »."},
        RefuseRow{"folder_blank", {"list", "--folder", "  "}, "--folder attend le nom d’un dossier."},
        RefuseRow{"copy_two_targets", {"copy", "1", "2"},
                  "copy attend un seul argument : l’identifiant ou le rang d’un élément."},
        RefuseRow{"help_after_a_command_is_an_argument", {"toggle", "--help"},
                  "toggle ne prend aucun argument (reçu « --help »)."}),
    [](const auto &info) { return std::string(info.param.name); });

// A request the running instance cannot decode is refused, never guessed at.
TEST(CliRequest, malformed_request_is_invalid)
{
    for (const QJsonObject &bad : {QJsonObject{}, QJsonObject{{"command", "copy"}},
                                   QJsonObject{{"command", "list"}, {"limit", 1.5}}})
        EXPECT_EQ(CliCommand::fromRequest(bad).kind, K::Invalid);
}

// Help, version and a mistyped command end before anything starts; scripts
// tell a usage error from a failed command by the status.
TEST(CliExitStatus, help_and_version_succeed_and_a_mistyped_command_is_a_usage_error)
{
    auto run = [](std::vector<const char *> args) {
        args.insert(args.begin(), "bramblet");
        return Application::run(int(args.size()), const_cast<char **>(args.data()));
    };
    EXPECT_EQ(run({"--help"}), CliCommand::ExitOk);
    EXPECT_EQ(run({"--version"}), CliCommand::ExitOk);
    EXPECT_EQ(run({"paste"}), CliCommand::ExitUsage);
}

} // namespace
