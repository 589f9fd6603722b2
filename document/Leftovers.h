#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace lumora {

/// A temporary file that an interrupted save left beside a document: QSaveFile writes
/// "<name>.XXXXXX" and renames it over the document only at the end, so a kill just before
/// the rename leaves the newer work there.
struct Leftover {
    QString fileName;
    QDateTime modified;
};

/// The newest leftover of the document worth offering: newer than the document (or the
/// document is gone), complete (it ends as every written document ends) and readable as a
/// layout. None when there is no such file.
std::optional<Leftover> findLeftover(const QString &documentFile);

/// Removes a leftover once it was recovered or declined; false with the reason otherwise.
bool removeLeftover(const Leftover &leftover, QString *error = nullptr);

} // namespace lumora
