#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace lumora {

/// The earlier states of one document, kept per user outside the document's folder (in the
/// data folder, under "lumora/versions/", one folder per document named by a hash of its
/// canonical path), so that no autosave, revert or reload loses what the file held before.
/// Shared by the editor and lumora-cli; each version is a document file of its own.
class DocumentVersions {
public:
    /// Why a version was kept.
    enum class Kind { Opened, Saved, Edited, BeforeRevert, BeforeReload, OtherProgram };

    struct Version {
        QString fileName;
        QDateTime time;
        Kind kind = Kind::Edited;
    };

    /// The versions of the document (need not exist; its path is resolved through links).
    explicit DocumentVersions(const QString &documentFile);

    /// Where every document's versions live.
    static QString root();
    QString folder() const { return m_folder; }

    /// Newest first.
    QList<Version> list() const;
    /// The newest version of the kind; a version without a file name when there is none.
    Version newest(Kind kind) const;
    /// Keeps the bytes as a version made at `time`, then prunes; false with the reason when
    /// it could not be written.
    bool add(const QByteArray &bytes, Kind kind, QString *error = nullptr,
             const QDateTime &time = QDateTime::currentDateTimeUtc());
    /// Keeps the newest 20, any from the 24 hours before `now`, and the newest as opened and
    /// as saved; removes the rest.
    void prune(const QDateTime &now = QDateTime::currentDateTimeUtc());
    /// The bytes of a version; empty (with the reason) when it cannot be read.
    static QByteArray read(const Version &version, QString *error = nullptr);

    /// "as opened", "saved", … for lists and the command line.
    static QString describe(Kind kind);

    static constexpr int keptAtLeast = 20;

private:
    QString m_folder;
};

} // namespace lumora
