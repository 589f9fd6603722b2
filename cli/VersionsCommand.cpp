#include "Commands.h"

#include "document/DocumentReader.h"
#include "document/DocumentVersions.h"
#include "document/DocumentWriter.h"
#include "document/LayoutSnapshot.h"
#include "document/Model.h"
#include "document/PictureUrl.h"
#include "common/SaveFile.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace lumora::cli {

int runVersions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Lists the versions the editor kept of DOC, newest first and numbered from 1, or with\n"
        "--restore N writes version N to OUT (DOC itself is left alone).");
    parser.addPositionalArgument("DOC", "The document whose versions to list.");
    QCommandLineOption restore("restore", "The version to write out.", "N");
    QCommandLineOption output({"o", "output"}, "Where --restore writes the version.", "OUT");
    parser.addOption(restore);
    parser.addOption(output);
    if (!parse(parser, arguments, 1))
        return 2;
    const QString document = parser.positionalArguments().first();
    const QList<DocumentVersions::Version> versions = DocumentVersions(document).list();
    if (!parser.isSet(restore)) {
        if (parser.isSet(output)) {
            fail("-o needs --restore N");
            return 2;
        }
        for (qsizetype i = 0; i < versions.size(); ++i) {
            const DocumentVersions::Version &version = versions.at(i);
            std::printf("%lld  %s  %8lld bytes  %s\n", static_cast<long long>(i + 1),
                        qPrintable(version.time.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")),
                        static_cast<long long>(QFileInfo(version.fileName).size()),
                        qPrintable(DocumentVersions::describe(version.kind)));
        }
        if (versions.isEmpty())
            std::fprintf(stderr, "lumora-cli: no versions are kept of %s\n", qPrintable(document));
        return 0;
    }
    bool number = false;
    const qsizetype n = parser.value(restore).toLongLong(&number);
    if (!number || n < 1 || n > versions.size()) {
        fail(QString("there is no version %1 of %2 (see 'lumora-cli versions %2')").arg(parser.value(restore), document));
        return 2;
    }
    if (!parser.isSet(output)) {
        fail("--restore needs -o OUT");
        return 2;
    }
    const QString out = parser.value(output);
    QString error;
    QByteArray bytes = DocumentVersions::read(versions.at(n - 1), &error);
    if (bytes.isEmpty() && !error.isEmpty()) {
        fail(QString("cannot read version %1: %2").arg(n).arg(error));
        return 1;
    }
    // Pictures are named from the document's folder; elsewhere they are named anew.
    const QString folder = QFileInfo(out).absolutePath();
    if (folder != QFileInfo(document).absolutePath()) {
        Model model;
        const ReadResult read = readDocument(bytes, model, documentBase(document));
        if (!read.ok) {
            fail(QString("version %1 cannot be read: %2").arg(n).arg(read.error));
            return 1;
        }
        bytes = writeDocument(withPicturesFor(LayoutSnapshot::fromModel(model), documentBase(document), folder));
    }
    if (!saveFile(out, bytes, &error)) {
        fail(error);
        return 1;
    }
    return 0;
}

} // namespace lumora::cli
