// The desktop program's command line, with HOME in a temporary folder: the same data
// folder rules as pictrove-cli (tests/cli/CliTest.cpp checks the CLI's side).

#include "support/TemporaryHome.h"
#include "ui/startup/DesktopArguments.h"
#include "ui/startup/DesktopHelp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

namespace {

TEST(DesktopArguments, DataFolderAddressAndActions)
{
    const TemporaryHome home;
    QTemporaryDir plain;
    QTemporaryDir portable;
    QFile soft(portable.filePath(QStringLiteral("soft.dat")));
    ASSERT_TRUE(soft.open(QIODevice::WriteOnly));
    soft.close();
    const QString address = QStringLiteral("https://weibo.com/u/1234567890");

    const struct {
        const char *what;
        QString currentDir;
        QStringList arguments;  // after the program name
        DesktopArguments::Action action;
        QString dataFolder;
        QString ownerAddress;
    } cases[] = {
        {"nothing given", plain.path(), {}, DesktopArguments::Run, home.dataFolder(), QString()},
        {"portable folder", portable.path(), {}, DesktopArguments::Run, portable.path() + u'/', QString()},
        {"an address", plain.path(), {address}, DesktopArguments::Run, home.dataFolder(), address},
        {"several addresses", plain.path(), {address, QStringLiteral("https://weibo.com/u/2")},
         DesktopArguments::Run, home.dataFolder(), address},
        {"--data-dir relative", plain.path(), {QStringLiteral("--data-dir"), QStringLiteral("mine"), address},
         DesktopArguments::Run, plain.path() + QStringLiteral("/mine/"), address},
        {"--data-dir wins over soft.dat", portable.path(), {QStringLiteral("--data-dir"), QStringLiteral("/srv/p/")},
         DesktopArguments::Run, QStringLiteral("/srv/p/"), QString()},
        {"--help", plain.path(), {address, QStringLiteral("--help")}, DesktopArguments::Help, QString(), QString()},
        {"--version", plain.path(), {QStringLiteral("--version")}, DesktopArguments::Version, QString(), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        const auto parsed = parseDesktopArguments(QStringList{QStringLiteral("pictrove")} + c.arguments,
                                                  c.currentDir, error);
        ASSERT_TRUE(parsed.has_value()) << error.toStdString();
        EXPECT_EQ(parsed->action, c.action);
        if (c.action != DesktopArguments::Run)
            continue;
        EXPECT_EQ(parsed->dataFolder, c.dataFolder);
        EXPECT_EQ(parsed->ownerAddress, c.ownerAddress);
    }
}

TEST(DesktopArguments, UsageErrors)
{
    const struct {
        QStringList arguments;
        const char *error;
    } cases[] = {
        {{QStringLiteral("--data-dir")}, "--data-dir needs a value"},
        {{QStringLiteral("--threads"), QStringLiteral("3")}, "unknown option --threads"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        QString error;
        EXPECT_FALSE(parseDesktopArguments(QStringList{QStringLiteral("pictrove")} + c.arguments, QDir::tempPath(),
                                           error));
        EXPECT_EQ(error, QString::fromUtf8(c.error));
    }
}

// --help prints and pictrove.1 describes this table: each option it names is taken.
TEST(DesktopArguments, EveryOptionTheHelpNamesIsUnderstood)
{
    for (const HelpSection &section : desktopHelp().sections) {
        for (const HelpItem &item : section.items) {
            SCOPED_TRACE(item.term);
            const QStringList words = QString::fromUtf8(item.term).split(u' ');
            QStringList arguments{QStringLiteral("pictrove"), words.at(0)};
            if (words.size() > 1)
                arguments.append(QStringLiteral("/srv/p"));
            QString error;
            EXPECT_TRUE(parseDesktopArguments(arguments, QDir::tempPath(), error).has_value()) << error.toStdString();
        }
    }
}

}  // namespace

}  // namespace pictrove
