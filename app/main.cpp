#include "Application.h"
#include "Document.h"
#include "SystemLog.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    lumora::routeDiagnosticsToSystemLog();
    QApplication::setOrganizationName("Lumora");
    QApplication::setApplicationName("lumora");
    QApplication::setApplicationDisplayName("Lumora");
    QApplication::setApplicationVersion(LUMORA_VERSION);
    QApplication::setWindowIcon(QIcon(":/icons/lumora.svg"));

    QCommandLineParser parser;
    parser.setApplicationDescription("Lumora: place LEDs on a picture, preview patterns, export for microcontrollers.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("files", "Layouts to open, each in its own window.", "[FILE...]");
    parser.process(qapp);

    lumora::Application app;
    app.offerRecovery();
    for (const QString &file : parser.positionalArguments())
        app.openDocument(file);
    if (app.documents().isEmpty())
        app.newDocument();
    return qapp.exec();
}
