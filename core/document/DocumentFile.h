#pragma once

#include "DocumentVersions.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace lumora {

class DocumentFileWatcher;
class DocumentLock;
class DocumentModel;
class UndoManager;
struct Model;

/// The life of one open layout's file, without a window: the lock (one writer per file),
/// autosave in place two seconds after every change, the recovery file of untitled work,
/// the watch on what other programs do to the file, and the versions kept of it. Owns the
/// document model. Reports through signals; the window only asks the user's questions.
///
/// Nothing it does loses saved work: a save first makes sure the file on disk is the one
/// last read or written (and writes nothing otherwise); another program's save is taken
/// silently when there is nothing unsaved here, and asked about otherwise, with the losing
/// side kept as a version either way; reverting keeps the current state as a version and
/// is one undo step.
class DocumentFile : public QObject {
    Q_OBJECT
public:
    /// A new, untitled layout.
    explicit DocumentFile(QObject *parent = nullptr);
    ~DocumentFile() override;

    /// Reads a layout file; nullptr (and the reason) when it cannot be read: missing, a
    /// folder, or not UTF-8. A file another document or process has open (through any path
    /// to it) is refused unless opened read-only.
    static DocumentFile *open(const QString &fileName, QString *error, bool readOnly = false);
    /// Untitled work kept in a recovery file; nullptr when it cannot be read or a live
    /// process still owns it.
    static DocumentFile *recover(const QString &recoveryFile);
    static QString recoveryFolder();
    static QStringList recoveryFiles();
    /// The recovery files of processes that are gone: a live instance's are left alone.
    static QStringList orphanedRecoveryFiles();
    /// Deletes a recovery file whose process is gone; false when a live one owns it.
    static bool discardOrphanedRecovery(const QString &recoveryFile);

    DocumentModel *model() const { return m_model; }
    UndoManager *undoManager() const { return m_undo; }
    QString fileName() const { return m_fileName; }
    bool isUntitled() const { return m_fileName.isEmpty(); }
    QString displayName() const;
    bool isModified() const;
    /// Opened while another process had the file: never written to that file.
    bool isReadOnly() const { return m_readOnly; }
    /// The file was moved or deleted on disk since it was opened or saved.
    bool isFileGone() const { return m_fileGone; }
    /// The failure of the last autosave (empty when it succeeded).
    QString autosaveError() const { return m_autosaveError; }
    /// What the reader changed on the way when the file was opened (line by line).
    QStringList readerWarnings() const { return m_readerWarnings; }
    /// A picture URL made absolute against the document's folder.
    QUrl resolved(const QUrl &url) const;
    /// The document text of the live state.
    QByteArray data() const;

    /// Writes the document to the file and makes it the document's file. An explicit save
    /// (not autosave) also becomes what Revert To ▸ Last Saved goes back to, and a version.
    /// Writes nothing over another program's save of the document's own file.
    bool saveTo(const QString &fileName, QString *error, bool explicitSave = true);
    /// Writes unsaved changes to the document's file now (or to the recovery folder when
    /// the file cannot take them); true when the file holds everything.
    bool autosave(QString *error = nullptr);
    /// A titled, writable document closes without a question: autosave keeps its file up
    /// to date. Untitled, read-only or moved-away work has nowhere of its own to go.
    bool closesWithoutAsking() const { return !isUntitled() && !m_readOnly && !m_fileGone; }
    /// Deletes the recovery file of work the user chose not to keep.
    void discardRecovery();
    /// A change that registers no undo (the picture strip) still needs saving.
    void changedWithoutUndo();
    /// Takes the content of an interrupted save as unsaved work.
    bool adoptUnsavedWork(const QByteArray &bytes, QString *error);
    /// While held (a question is open) nothing is written.
    void hold(bool held);
    /// Runs `setUp` as part of setting the layout up: it registers no undo and is no change.
    void runAsSetUp(const std::function<void()> &setUp);

    // --- Versions ------------------------------------------------------------------------
    /// The document's versions (none for untitled work).
    QList<DocumentVersions::Version> versions() const;
    /// The file as opened in this session, and as opened or last saved explicitly.
    bool canRevert() const { return !isUntitled() && m_hasOpenedBytes; }
    /// Goes back to the file as opened, as last saved, or to a version; the current state
    /// is kept as a version first, and the revert is one undo step written at once.
    bool revertToOpened(QString *error = nullptr);
    bool revertToSaved(QString *error = nullptr);
    bool revertToVersion(const DocumentVersions::Version &version, QString *error = nullptr);
    /// Test hooks: the autosave delay (2 s) and the least time between versions kept while
    /// editing (10 minutes).
    void setAutosaveDelay(int milliseconds) { m_autosaveDelay = milliseconds; }
    void setVersionInterval(qint64 milliseconds) { m_versionInterval = milliseconds; }

    // --- Another program's save ------------------------------------------------------------
    /// Another program saved the file while there were unsaved changes here; nothing is
    /// written until it is resolved.
    bool hasConflict() const { return m_conflict; }
    enum class Resolution { TakeTheirs, KeepMine };
    /// Takes their file (undoable; this state kept as a version) or keeps this one (written
    /// over theirs, theirs kept as a version).
    bool resolveConflict(Resolution resolution, QString *error = nullptr);
    /// Looks at the file now instead of waiting for the watcher.
    void checkDisk();

signals:
    /// The title's parts changed: name, modified, read-only, gone, autosave failure.
    void stateChanged();
    /// The layout was set up anew without undo (opening, adopting work).
    void loaded();
    /// Another program's save was taken, as nothing here was unsaved.
    void reloaded();
    /// Another program saved the file while there were unsaved changes here.
    void conflict();
    /// The file was moved or deleted; autosave stops writing there.
    void gone();
    /// The document was written to its file (a recent file).
    void saved();
    /// A line for the status bar.
    void message(const QString &text);

private:
    void setUp(const Model &model);
    void edited();
    void keepRecoveryCopy();
    void changedOnDisk(const QByteArray &bytes);
    void fileGone();
    /// Writes in place; the file as opened is kept as a version before the first write.
    bool writeInPlace(const QByteArray &bytes, QString *error);
    bool keepVersion(const QByteArray &bytes, DocumentVersions::Kind kind);
    /// Replaces the layout by the bytes as one undo step named `name`.
    bool replaceBy(const QByteArray &bytes, const QString &name, QString *error);
    QByteArray fileBytes() const;
    /// The background a layout of these pictures opens with: the first of the strip.
    QUrl firstPicture(const QList<QUrl> &pictures) const;

    QString m_fileName;
    QString m_recoveryFile;
    std::unique_ptr<DocumentLock> m_lock;
    std::unique_ptr<DocumentLock> m_recoveryLock;
    DocumentFileWatcher *m_watcher;
    DocumentModel *m_model;
    UndoManager *m_undo;
    bool m_readOnly = false;
    bool m_fileGone = false;
    bool m_settingUp = false;
    bool m_held = false;
    bool m_changedWithoutUndo = false;
    bool m_conflict = false;
    QTimer m_autosaveTimer;
    int m_autosaveDelay = 2000;
    qint64 m_versionInterval = 10 * 60 * 1000;
    QDateTime m_lastVersion;
    /// The file as opened, kept as a version before it is first written over.
    QByteArray m_openedBytes;
    bool m_hasOpenedBytes = false;
    bool m_openedKept = false;
    /// The file as opened or last saved explicitly.
    QByteArray m_savedBytes;
    QString m_autosaveError;
    QStringList m_readerWarnings;
};

} // namespace lumora
