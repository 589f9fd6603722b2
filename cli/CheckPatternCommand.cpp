// lumora-cli check-pattern: compiles a pattern file and lists its errors, as compilers do.
#include "Commands.h"

#include <QCommandLineParser>

namespace lumora::cli {

int runCheckPattern(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Compiles FILE.js, a pattern in the Pixelblaze language. Prints nothing and exits 0 when it\n"
        "compiles; otherwise prints every error as FILE:LINE:COL: message and exits 1.");
    parser.addPositionalArgument("FILE.js", "The pattern.");
    if (!parse(parser, arguments, 1))
        return 2;
    int status = 0;
    loadPatternFile(parser.positionalArguments()[0], &status);
    return status;
}

} // namespace lumora::cli
