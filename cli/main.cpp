#include "Commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <functional>

using namespace lumora::cli;

namespace {

struct Command {
    const char *name;
    const char *summary;
    std::function<int(const QStringList &)> run;
};

// The manual page and the bash completion are made from this table and each command's --help
// at build time (scripts/make-cli-docs.py), so a new command needs only its row here.
const Command commands[] = {
    {"patterns", "List every pattern with its parameters, in menu order.", runPatterns},
    {"sample", "Evaluate patterns for lines \"NAME T X Y INDEX\" read from standard input.", runSample},
    {"inspect", "Print a document as the reader understood it, as JSON.", runInspect},
    {"resave", "Read a document and write it again as the editor would save it.", runResave},
    {"export", "Write the pattern PPM and the picture or animation export beside a document.", runExport},
    {"template", "Write the template picture (a disc per LED) beside a document.", runTemplate},
    {"export-map", "Write a document's LEDs as a WLED, Pixelblaze, FastLED, xLights or CSV map.", runExportMap},
    {"play", "Send a pattern or the frame animation to LED controllers over the network.", runPlay},
    {"import", "Make a document from a WLED, Pixelblaze, xLights or CSV LED map.", runImport},
    {"generate", "Make a document of a generated LED matrix, strip or ring.", runGenerate},
    {"check-pattern", "Compile a pattern written in the Pixelblaze language and report its errors.", runCheckPattern},
    {"import-epe", "Write the pattern of a Pixelblaze .epe file as a .js file.", runImportEpe},
    {"export-epe", "Write a pattern as a Pixelblaze .epe file with a preview on a layout.", runExportEpe},
    {"export-code", "Write an Arduino sketch that computes a pattern on the microcontroller, with its budget.", runExportCode},
    {"versions", "List the versions the editor kept of a document, or write one out.", runVersions},
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("lumora-cli");
    QCoreApplication::setApplicationVersion(LUMORA_VERSION);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        for (const Command &command : commands) {
            if (arguments.at(1) == QLatin1String(command.name)) {
                QStringList rest = arguments.mid(2);
                rest.prepend(arguments.at(0) + ' ' + command.name);
                return command.run(rest);
            }
        }
    }

    QCommandLineParser parser;
    QString description = "Headless exports and inspections of LED layouts.\n\nCommands:\n";
    for (const Command &command : commands)
        description += QString("  %1  %2\n").arg(command.name, -13).arg(command.summary);
    description += "\nRun 'lumora-cli COMMAND --help' for a command's options.";
    parser.setApplicationDescription(description);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument("command", "The command to run.");
    // An unknown option is bad usage (2), as in the commands.
    if (!parser.parse(QCoreApplication::arguments())) {
        fail(parser.errorText() + " See --help.");
        return 2;
    }
    if (parser.isSet(version))
        parser.showVersion();
    if (parser.isSet(help) || parser.isSet("help-all"))
        parser.showHelp(0);
    if (parser.positionalArguments().isEmpty()) {
        parser.showHelp(2);
    }
    fail(QString("unknown command '%1'").arg(parser.positionalArguments().first()));
    return 2;
}
