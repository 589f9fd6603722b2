#include "Commands.h"

#include "patterns/framework/ColorPattern.h"

#include <QCommandLineParser>

#include <cstdio>

namespace lumora::cli {

void fail(const QString &message)
{
    std::fprintf(stderr, "lumora-cli: %s\n", qPrintable(message));
}

int runPatterns(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Prints one line per pattern: NAME S0 S1 R1 SPEED.");
    if (!parseOptions(parser, arguments))
        return 2;
    if (!parser.positionalArguments().isEmpty()) {
        fail("patterns takes no arguments");
        return 2;
    }

    ColorPattern::addInstances();
    const auto all = ColorPattern::patterns();
    if (!all.empty())
        all.front()->sortNames();
    for (const ColorPattern *pattern : ColorPattern::patterns())
        std::printf("%s %.17g %.17g %.17g %.17g\n", pattern->name().c_str(), pattern->s0, pattern->s1,
                    pattern->r1, pattern->speed);
    return 0;
}

} // namespace lumora::cli
