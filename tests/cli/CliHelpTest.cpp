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

}  // namespace

}  // namespace pictrove
