#pragma once

#include "Exporter.h"

#include <QString>

class QSettings;

namespace lumora {

/// The export choices remembered for one layout (keyed by its path), so that the export
/// dialog opens where the last export of that layout went.
struct ExportSettings {
    /// Empty: the layout's own folder.
    QString folder;
    HeaderStyle headerStyle = HeaderStyle::Modern;
    int patternFrames = 3000;

    static ExportSettings load(QSettings &store, const QString &documentPath);
    void save(QSettings &store, const QString &documentPath) const;

    /// The folder the files go into: the remembered one, or the layout's.
    QString folderFor(const QString &documentPath) const;
};

/// The settings key under which the editor keeps the name of its current pattern, read by
/// `lumora-cli export` when no pattern is named.
inline constexpr const char *currentPatternKey = "patternName";

/// One file an export is about to write, and whether it replaces a file already there.
struct PlannedFile {
    QString name;
    bool replaced = false;
};

/// The files an export into `folder` writes, in the order it writes them: "<pattern>.ppm"
/// when a pattern is named, then for n > 0 pictures (or frames) image0.h … image<n-1>.h, the
/// PPM, cases.h and images.h.
QList<PlannedFile> plannedExportFiles(const QString &folder, const QString &patternName, qsizetype pictures,
                                      bool animation);

} // namespace lumora
