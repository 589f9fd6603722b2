#include "DocumentVersions.h"

#include "common/SaveFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace lumora {

namespace {

// File names: "<UTC time>-<kind>.lumora"; the time sorts as text.
const char *const timeFormat = "yyyyMMdd-HHmmss-zzz";

struct KindName {
    DocumentVersions::Kind kind;
    const char *name;
};

const KindName kindNames[] = {
    {DocumentVersions::Kind::Opened, "opened"},
    {DocumentVersions::Kind::Saved, "saved"},
    {DocumentVersions::Kind::Edited, "edited"},
    {DocumentVersions::Kind::BeforeRevert, "before-revert"},
    {DocumentVersions::Kind::BeforeReload, "before-reload"},
    {DocumentVersions::Kind::OtherProgram, "other-program"},
};

QString canonicalPath(const QString &documentFile)
{
    const QFileInfo info(documentFile);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + '/' + info.fileName();
}

} // namespace

DocumentVersions::DocumentVersions(const QString &documentFile)
{
    const QByteArray key = QCryptographicHash::hash(canonicalPath(documentFile).toUtf8(), QCryptographicHash::Sha1).toHex();
    m_folder = root() + '/' + QString::fromLatin1(key.left(20));
}

QString DocumentVersions::root()
{
    // Not the application's own folder: the editor and lumora-cli share it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/lumora/versions";
}

QList<DocumentVersions::Version> DocumentVersions::list() const
{
    QList<Version> versions;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({"*.lumora"}, QDir::Files, QDir::Name | QDir::Reversed)) {
        const QString stem = name.chopped(7);
        QDateTime time = QDateTime::fromString(stem.left(19), timeFormat);
        if (!time.isValid() || stem.size() < 21 || stem.at(19) != '-')
            continue;
        time.setTimeSpec(Qt::UTC);
        // A counter may follow the kind when two versions share a millisecond.
        const QString kindName = stem.mid(20).section('.', 0, 0);
        auto found = std::find_if(std::begin(kindNames), std::end(kindNames),
                                  [&](const KindName &k) { return kindName == QLatin1String(k.name); });
        if (found == std::end(kindNames))
            continue;
        versions.append({dir.filePath(name), time, found->kind});
    }
    std::stable_sort(versions.begin(), versions.end(), [](const Version &a, const Version &b) { return a.time > b.time; });
    return versions;
}

DocumentVersions::Version DocumentVersions::newest(Kind kind) const
{
    for (const Version &version : list())
        if (version.kind == kind)
            return version;
    return {};
}

bool DocumentVersions::add(const QByteArray &bytes, Kind kind, QString *error, const QDateTime &time)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QCoreApplication::translate("DocumentVersions", "cannot make the folder %1").arg(m_folder);
        return false;
    }
    // Opening the file again unchanged keeps no second copy of what it held.
    if (kind == Kind::Opened) {
        const Version last = newest(Kind::Opened);
        if (!last.fileName.isEmpty() && read(last) == bytes)
            return true;
    }
    const auto named = std::find_if(std::begin(kindNames), std::end(kindNames), [&](const KindName &k) { return k.kind == kind; });
    const QString stamp = time.toUTC().toString(timeFormat);
    QString fileName = QStringLiteral("%1/%2-%3.lumora").arg(m_folder, stamp, QLatin1String(named->name));
    for (int n = 2; QFileInfo::exists(fileName); ++n)
        fileName = QStringLiteral("%1/%2-%3.%4.lumora").arg(m_folder, stamp, QLatin1String(named->name)).arg(n);
    if (!saveFile(fileName, bytes, error))
        return false;
    prune();
    return true;
}

void DocumentVersions::prune(const QDateTime &now)
{
    const QList<Version> versions = list();
    const QDateTime dayAgo = now.addSecs(-24 * 3600);
    const QString lastOpened = newest(Kind::Opened).fileName;
    const QString lastSaved = newest(Kind::Saved).fileName;
    for (qsizetype i = keptAtLeast; i < versions.size(); ++i) {
        const Version &version = versions.at(i);
        if (version.time >= dayAgo || version.fileName == lastOpened || version.fileName == lastSaved)
            continue;
        QFile::remove(version.fileName);
    }
}

QByteArray DocumentVersions::read(const Version &version, QString *error)
{
    QFile file(version.fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return file.readAll();
}

QString DocumentVersions::describe(Kind kind)
{
    switch (kind) {
    case Kind::Opened:
        return QCoreApplication::translate("DocumentVersions", "as opened");
    case Kind::Saved:
        return QCoreApplication::translate("DocumentVersions", "saved");
    case Kind::Edited:
        return QCoreApplication::translate("DocumentVersions", "while editing");
    case Kind::BeforeRevert:
        return QCoreApplication::translate("DocumentVersions", "before a revert");
    case Kind::BeforeReload:
        return QCoreApplication::translate("DocumentVersions", "before another program's save was taken");
    case Kind::OtherProgram:
        return QCoreApplication::translate("DocumentVersions", "another program's save");
    }
    return {};
}

} // namespace lumora
