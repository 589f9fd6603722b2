#include "Commands.h"

#include "patterns/framework/PatternRegistry.h"

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

    for (const ColorPattern *pattern : builtIns().patterns())
        std::printf("%s %.17g %.17g %.17g %.17g\n", pattern->name().c_str(), pattern->s0, pattern->s1,
                    pattern->r1, pattern->speed);
    return 0;
}

} // namespace lumora::cli
