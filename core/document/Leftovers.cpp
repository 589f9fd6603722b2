#include "Leftovers.h"

#include "DocumentReader.h"
#include "common/FileChecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace lumora {

namespace {

/// Every table the writer makes ends with "};" or "*/", so a file cut short ends otherwise.
bool endsLikeADocument(const QString &fileName)
{
    QFile file;
    if (!openRegularFile(fileName, file, nullptr) || file.size() < 3 || !file.seek(file.size() - 3))
        return false;
    const QByteArray end = file.read(3);
    return end == "};\n" || end == "*/\n";
}

} // namespace

std::optional<Leftover> findLeftover(const QString &documentFile)
{
    const QFileInfo document(documentFile);
    const QRegularExpression pattern(
        "^" + QRegularExpression::escape(document.fileName()) + R"(\.[A-Za-z0-9]{6}$)");
    std::optional<Leftover> newest;
    const QFileInfoList candidates = document.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo &candidate : candidates) {
        if (!pattern.match(candidate.fileName()).hasMatch())
            continue;
        const QDateTime modified = candidate.lastModified();
        if (!endsLikeADocument(candidate.absoluteFilePath())) {
            // A save killed while writing: nothing in it can be offered. One still being
            // written by a save under way is younger than the grace time and stays.
            if (modified.secsTo(QDateTime::currentDateTime()) > incompleteGraceSeconds)
                QFile::remove(candidate.absoluteFilePath());
            continue;
        }
        if (document.exists() && modified <= document.lastModified())
            continue;
        if (newest && modified <= newest->modified)
            continue;
        Model model;
        if (!readDocumentFile(candidate.absoluteFilePath(), model).ok)
            continue;
        newest = Leftover{candidate.absoluteFilePath(), modified};
    }
    return newest;
}

bool removeLeftover(const Leftover &leftover, QString *error)
{
    QFile file(leftover.fileName);
    if (file.remove() || !file.exists())
        return true;
    if (error)
        *error = QString("cannot remove %1: %2").arg(leftover.fileName, file.errorString());
    return false;
}

} // namespace lumora
