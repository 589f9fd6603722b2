#include "Application.h"
#include "Document.h"
#include "SystemLog.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstring>

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription("Lumora: place LEDs on a picture, preview patterns, export for microcontrollers.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "Layouts to open, each in its own window.", "[FILE...]");
}

/// True when the arguments ask only for --help or --version, which need no display.
bool asksForTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        for (const char *option : {"-h", "--help", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    }
    return false;
}

void setNames()
{
    QCoreApplication::setOrganizationName("Lumora");
    QCoreApplication::setApplicationName("lumora");
    QCoreApplication::setApplicationVersion(LUMORA_VERSION);
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before the window system is opened, so that they work over ssh and in builds.
    if (asksForTextOnly(argc, argv)) {
        QCoreApplication core(argc, argv);
        setNames();
        QCommandLineParser parser;
        describe(parser);
        parser.process(core); // prints and exits
        return 0;
    }

    QApplication qapp(argc, argv);
    lumora::routeDiagnosticsToSystemLog();
    setNames();
    QApplication::setApplicationDisplayName("Lumora");
    QGuiApplication::setDesktopFileName(LUMORA_APP_ID);
    QApplication::setWindowIcon(QIcon(":/icons/lumora.svg"));

    QCommandLineParser parser;
    describe(parser);
    parser.process(qapp);

    lumora::Application app;
    app.offerRecovery();
    for (const QString &file : parser.positionalArguments())
        app.openDocument(file);
    if (app.documents().isEmpty())
        app.newDocument();
    return qapp.exec();
}
