// The help table is what --help prints and what the manual page is made of; here it is
// held against the parser.

#include "cli/CliHelp.h"
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace pictrove {

namespace {

TEST(CliHelp, EveryOptionItNamesIsUnderstood)
{
    for (const HelpItem &item : cliOptionHelp()) {
        const QStringList words = QString::fromUtf8(item.term).split(u' ');
        SCOPED_TRACE(item.term);
        QStringList arguments{QStringLiteral("pictrove-cli"), words.at(0)};
        if (words.size() > 1)
            arguments.append(QStringLiteral("10"));  // a fitting value for every placeholder
        arguments += {QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890")};
        QString error;
        EXPECT_TRUE(parseCliOptions(arguments, error).has_value()) << error.toStdString();
    }
}

// An empty folder value (a script's unset variable) means the default, not the
// current folder.
TEST(CliOptions, EmptySaveFolderMeansTheDefault)
{
    const struct {
        const char *save;
        bool isDefault;
    } cases[] = {{"", true}, {"  ", true}, {"pictures", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.save);
        QString error;
        const std::optional<CliOptions> options = parseCliOptions(
            {QStringLiteral("pictrove-cli"), QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1"),
             QStringLiteral("--save"), QString::fromLatin1(c.save)},
            error);
        ASSERT_TRUE(options.has_value()) << error.toStdString();
        EXPECT_EQ(options->saveDir.isEmpty(), c.isDefault) << options->saveDir.toStdString();
    }
}

// The Weibo login's commands stand alone: no address, and the usual options before them.
TEST(CliOptions, LoginCommandsTakeNoAddress)
{
    const struct {
        QStringList arguments;
        std::optional<CliOptions::Command> command;
    } cases[] = {
        {{"login"}, CliOptions::Login},
        {{"--data-dir", "d", "whoami"}, CliOptions::Whoami},
        {{"logout", "--cookies", "c.txt"}, CliOptions::Logout},
        {{"login", "https://weibo.com/u/1"}, std::nullopt},
        {{"whoami", "x"}, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QString error;
        const std::optional<CliOptions> options = parseCliOptions(QStringList{"pictrove-cli"} + c.arguments, error);
        ASSERT_EQ(options.has_value(), c.command.has_value()) << error.toStdString();
        if (options) {
            EXPECT_EQ(options->command, *c.command);
        }
    }
}

}  // namespace

}  // namespace pictrove
