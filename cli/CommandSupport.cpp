#include "Commands.h"

#include "document/DocumentReader.h"
#include "document/LayoutSnapshot.h"
#include "patterns/catalogue/Catalogue.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace lumora::cli {

bool parseOptions(QCommandLineParser &parser, const QStringList &arguments)
{
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments)) {
        fail(parser.errorText() + " See --help.");
        return false;
    }
    if (parser.isSet(help) || parser.isSet("help-all")) {
        // Qt's usage line names the program only; a command's names the command too.
        QString text = parser.helpText();
        const QString program = "Usage: " + QCoreApplication::arguments().constFirst();
        if (text.startsWith(program))
            text.replace(0, program.size(), "Usage: " + arguments.constFirst());
        std::fputs(qPrintable(text), stdout);
        std::exit(0);
    }
    return true;
}

bool parse(QCommandLineParser &parser, const QStringList &arguments, int files)
{
    if (!parseOptions(parser, arguments))
        return false;
    if (parser.positionalArguments().size() != files) {
        fail(QString("expected %1 file argument(s); see --help").arg(files));
        return false;
    }
    return true;
}

std::optional<LayoutSnapshot> loadLayout(const QString &fileName)
{
    Model model;
    if (!load(fileName, model))
        return std::nullopt;
    LayoutSnapshot layout = LayoutSnapshot::fromModel(model);
    layout.animationEditor->setSelectedTrack(0);
    return layout;
}

std::optional<UserPattern> loadPatternFile(const QString &fileName, int *status)
{
    QStringList errors;
    std::optional<UserPattern> pattern = UserPattern::load(fileName, errors);
    for (const QString &error : errors)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    if (!pattern)
        *status = 1;
    return pattern;
}

bool bothPatternOptions(const QCommandLineParser &parser)
{
    if (parser.isSet("pattern") && parser.isSet("pattern-file")) {
        fail("give --pattern or --pattern-file, not both");
        return true;
    }
    return false;
}

QString wrapped(const QString &text, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines.append(line);
            line.clear();
        }
        line += (line.isEmpty() ? "" : " ") + word;
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines.join('\n');
}

const PatternRegistry &builtIns()
{
    static const PatternRegistry patterns = builtInPatterns();
    return patterns;
}

const ColorPattern *findPattern(const QString &name, int *status)
{
    const PatternRegistry &patterns = builtIns();
    if (patterns.empty()) {
        fail("no patterns are available");
        *status = 1;
        return nullptr;
    }
    if (name.isEmpty())
        return patterns.at(0);
    const ColorPattern *pattern = patterns.named(name.toStdString());
    if (!pattern) {
        fail(QString("no pattern named '%1' (see 'lumora-cli patterns')").arg(name));
        *status = 2;
    }
    return pattern;
}

} // namespace lumora::cli
