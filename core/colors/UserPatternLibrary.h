#pragma once

#include "UserPattern.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

/// The per-user folder of patterns the user wrote or imported, one .js file each. The values
/// of a pattern's controls live beside it in NAME.controls.json, so they travel with the file
/// and the command line's exports see what the editor showed.
class UserPatternLibrary
{
public:
    /// The library in `folder`; made when the first pattern is written.
    explicit UserPatternLibrary(QString folder);
    /// AppDataLocation/patterns.
    static QString defaultFolder();

    QString folder() const { return m_folder; }
    /// The .js files in the folder, absolute, sorted by name without regard to case.
    QStringList files() const;
    /// The file in the folder for a pattern of this name (characters a file name cannot hold
    /// become "_"); it may exist.
    QString fileFor(const QString &name) const;
    /// A file in the folder for this name that no pattern uses yet: "Name.js", "Name 2.js", …
    /// Characters a file name cannot hold become "_".
    QString unusedFileFor(const QString &name) const;

    /// Writes the source through a checked write, making the folder when needed; false with
    /// the reason in `error`.
    static bool saveSource(const QString &fileName, const QByteArray &source, QString *error);
    /// Copies the source of a .epe file into the library under its name; the new file, or
    /// none with the reason in `error`.
    std::optional<QString> importEpe(const QString &epeFile, QString *error) const;

    /// Input controls' values by function name ("sliderSpeed" → {0.5}).
    using ControlValues = QMap<QString, QList<double>>;
    static QString controlsFileFor(const QString &patternFile);
    /// Empty when there is no such file or it cannot be read.
    static ControlValues loadControls(const QString &patternFile);
    static bool saveControls(const QString &patternFile, const ControlValues &values, QString *error);

private:
    QString m_folder;
};

} // namespace lumora
