#include "CliTestSupport.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

/// The command names of the "Commands:" block of lumora-cli --help.
QStringList commandNames()
{
    const QString help = QString::fromUtf8(runCli({"--help"}).out);
    QStringList names;
    const QRegularExpression line("^Commands:\\n((?:  \\S.*\\n)+)", QRegularExpression::MultilineOption);
    for (const QString &row : line.match(help).captured(1).split('\n', Qt::SkipEmptyParts))
        names << row.trimmed().section(' ', 0, 0);
    return names;
}

} // namespace

// The manual page and the completion are made from these texts, so each command must answer.
TEST(CliCommandLine, EveryCommandHasHelpNamingItAndCallsUnknownOptionsBadUsage)
{
    const QStringList commands = commandNames();
    ASSERT_GE(commands.size(), 10);
    for (const QString &command : commands) {
        const CliRun help = runCli({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << qPrintable(command);
        const QString usage = QString::fromUtf8(help.out).section('\n', 0, 0);
        EXPECT_TRUE(usage.startsWith("Usage: ") && usage.contains(" " + command + " [options]"))
            << qPrintable(usage);

        const CliRun unknown = runCli({command, "--no-such-option"});
        EXPECT_EQ(unknown.exitCode, 2) << qPrintable(command);
        EXPECT_TRUE(unknown.err.startsWith("lumora-cli: Unknown option 'no-such-option'")) << unknown.err.constData();
    }
}

TEST(CliCommandLine, AnswersVersionAndRefusesUnknownOptionsAndCommands)
{
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(version.out).contains(QRegularExpression("^lumora-cli \\d+\\.\\d+\\.\\d+\\n$")))
        << version.out.constData();
    EXPECT_EQ(runCli({"--no-such-option"}).exitCode, 2);
    EXPECT_EQ(runCli({"no-such-command"}).exitCode, 2);
    EXPECT_EQ(runCli({}).exitCode, 2);
}
