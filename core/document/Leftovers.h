#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace lumora {

/// A temporary file that an interrupted save left beside a document: SaveFile writes
/// "<name>.XXXXXX" and renames it over the document only at the end (on every file system),
/// so a kill just before the rename leaves the newer work there, and a kill while writing
/// leaves a file cut short.
struct Leftover {
    QString fileName;
    QDateTime modified;
};

/// The newest leftover of the document worth offering: newer than the document (or the
/// document is gone), complete (it ends as every written document ends) and readable as a
/// layout. None when there is no such file. Leftovers cut short are removed on the way, once
/// they are older than `incompleteGraceSeconds` (younger ones may be a save under way).
std::optional<Leftover> findLeftover(const QString &documentFile);
constexpr qint64 incompleteGraceSeconds = 60;

/// Removes a leftover once it was recovered or declined; false with the reason otherwise.
bool removeLeftover(const Leftover &leftover, QString *error = nullptr);

} // namespace lumora
