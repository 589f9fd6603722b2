#include "ExportSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace lumora {

namespace {

QString groupFor(const QString &documentPath)
{
    const QString path = QFileInfo(documentPath).absoluteFilePath();
    return "export/" + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

} // namespace

ExportSettings ExportSettings::load(QSettings &store, const QString &documentPath)
{
    ExportSettings s;
    store.beginGroup(groupFor(documentPath));
    s.folder = store.value("folder").toString();
    s.headerStyle = store.value("headerStyle").toString() == "classic" ? HeaderStyle::Classic : HeaderStyle::Modern;
    const int frames = store.value("patternFrames", s.patternFrames).toInt();
    // Settings files can be edited by hand.
    if (frames >= 1 && frames <= 1000000)
        s.patternFrames = frames;
    store.endGroup();
    return s;
}

void ExportSettings::save(QSettings &store, const QString &documentPath) const
{
    store.beginGroup(groupFor(documentPath));
    // The layout's own folder is not stored, so it follows the layout when it moves.
    const QString own = QDir::cleanPath(QFileInfo(documentPath).absolutePath());
    if (folder.isEmpty() || QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) == own)
        store.remove("folder");
    else
        store.setValue("folder", folder);
    store.setValue("headerStyle", headerStyle == HeaderStyle::Classic ? "classic" : "modern");
    store.setValue("patternFrames", patternFrames);
    store.endGroup();
}

QString ExportSettings::folderFor(const QString &documentPath) const
{
    return folder.isEmpty() ? QFileInfo(documentPath).absolutePath() : folder;
}

QList<PlannedFile> plannedExportFiles(const QString &folder, const QString &patternName, qsizetype pictures,
                                      bool animation)
{
    QStringList names;
    if (!patternName.isEmpty())
        names.append(patternName + ".ppm");
    if (pictures > 0) {
        for (qsizetype i = 0; i < pictures; ++i)
            names.append("image" + QString::number(i) + ".h");
        names << (animation ? "frame001.ppm" : "frame000.ppm") << "cases.h" << "images.h";
    }
    const QDir dir(folder);
    QList<PlannedFile> files;
    for (const QString &name : names)
        files.append({name, QFileInfo::exists(dir.filePath(name))});
    return files;
}

} // namespace lumora
