#include "UserPatternLibrary.h"

#include "EpeFile.h"

#include "common/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace lumora {

UserPatternLibrary::UserPatternLibrary(QString folder)
    : m_folder(std::move(folder))
{
}

QString UserPatternLibrary::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("patterns");
}

QStringList UserPatternLibrary::files() const
{
    QDir dir(m_folder);
    QStringList names = dir.entryList({"*.js"}, QDir::Files | QDir::Readable);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    QStringList paths;
    for (const QString &name : std::as_const(names))
        paths.append(dir.absoluteFilePath(name));
    return paths;
}

QString UserPatternLibrary::fileFor(const QString &name) const
{
    QString base = name.trimmed();
    for (QChar &c : base)
        if (c == '/' || c == '\\' || c == ':' || c.category() == QChar::Other_Control)
            c = '_';
    // A leading dot would hide the file.
    while (base.startsWith('.'))
        base.remove(0, 1);
    if (base.endsWith(".js", Qt::CaseInsensitive))
        base.chop(3);
    if (base.isEmpty())
        base = "Pattern";
    return QDir(m_folder).absoluteFilePath(base + ".js");
}

QString UserPatternLibrary::unusedFileFor(const QString &name) const
{
    QString candidate = fileFor(name);
    const QString base = QFileInfo(candidate).completeBaseName();
    const QDir dir(m_folder);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = dir.absoluteFilePath(QString("%1 %2.js").arg(base).arg(n));
    return candidate;
}

bool UserPatternLibrary::saveSource(const QString &fileName, const QByteArray &source, QString *error)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QString("cannot make the folder %1").arg(folder);
        return false;
    }
    SaveFile file(fileName);
    if (!file.open() || !file.write(source) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

std::optional<QString> UserPatternLibrary::importEpe(const QString &epeFile, QString *error) const
{
    QFile file(epeFile);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QString("cannot read %1: %2").arg(epeFile, file.errorString());
        return std::nullopt;
    }
    QString reason;
    const std::optional<EpePattern> pattern = readEpe(file.readAll(), &reason);
    if (!pattern) {
        if (error)
            *error = QString("%1: %2").arg(QFileInfo(epeFile).fileName(), reason);
        return std::nullopt;
    }
    const QString name = pattern->name.trimmed().isEmpty() ? QFileInfo(epeFile).completeBaseName() : pattern->name;
    const QString target = unusedFileFor(name);
    if (!saveSource(target, pattern->source, error))
        return std::nullopt;
    return target;
}

QString UserPatternLibrary::controlsFileFor(const QString &patternFile)
{
    const QFileInfo info(patternFile);
    return info.dir().filePath(info.completeBaseName() + ".controls.json");
}

UserPatternLibrary::ControlValues UserPatternLibrary::loadControls(const QString &patternFile)
{
    ControlValues values;
    QFile file(controlsFileFor(patternFile));
    // Small by nature; anything large is not ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20))
        return values;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        QList<double> list;
        for (const QJsonValue &v : it.value().toArray())
            if (v.isDouble() && std::isfinite(v.toDouble()))
                list.append(v.toDouble());
        if (!list.isEmpty())
            values.insert(it.key(), list);
    }
    return values;
}

bool UserPatternLibrary::saveControls(const QString &patternFile, const ControlValues &values, QString *error)
{
    QJsonObject object;
    for (auto it = values.begin(); it != values.end(); ++it) {
        QJsonArray list;
        for (double v : it.value())
            list.append(v);
        object.insert(it.key(), list);
    }
    return saveSource(controlsFileFor(patternFile), QJsonDocument(object).toJson(), error);
}

} // namespace lumora
