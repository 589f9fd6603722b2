#pragma once

#include "document/LayoutSnapshot.h"

#include <QObject>

#include <functional>
#include <memory>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QPrinter;

namespace lumora {

class DocumentFileWatcher;
class DocumentLock;
class DocumentModel;
class DocumentWindow;
struct ExportSettings;
class UndoManager;
class View;

/// One open layout: its file, its document model (with the undo history) and its window.
/// Any change of the model, with or without an undo step, is saved in place two seconds
/// after the last one (atomically); an untitled layout is kept in a recovery file instead,
/// offered back after a crash.
class Document : public QObject {
    Q_OBJECT
public:
    /// A new, untitled layout.
    Document();
    ~Document() override;

    /// Reads a layout file; nullptr (and a message) when it cannot be read: missing, a
    /// folder, or not UTF-8. Nothing is ever opened empty in place of a real file. A file
    /// another document or process has open is refused unless opened read-only.
    static Document *open(const QString &fileName, QString *error, bool readOnly = false);
    /// Reopens untitled work kept in a recovery file; nullptr when it cannot be read or a
    /// live process still owns it.
    static Document *recover(const QString &recoveryFile);
    static QStringList recoveryFiles();
    /// The recovery files of processes that are gone: a live instance's are left alone.
    static QStringList orphanedRecoveryFiles();
    /// Deletes a recovery file whose process is gone; false when a live one owns it.
    static bool discardOrphanedRecovery(const QString &recoveryFile);
    static QString recoveryFolder();

    QString fileName() const { return m_fileName; }
    QString displayName() const;
    UndoManager *undoManager() const { return m_undo; }
    DocumentModel *model() const { return m_model; }
    View *view() const;
    DocumentWindow *window() const { return m_window; }
    void showWindow();
    bool isModified() const;
    /// Opened while another process had the file: never written to that file.
    bool isReadOnly() const { return m_readOnly; }
    /// The file was moved or deleted on disk since it was opened or saved.
    bool isFileGone() const { return m_fileGone; }

    /// The pictures of the layout, in strip order (the filenames table).
    QList<QUrl> imageUrls() const;
    /// A change that registers no undo (the picture strip) still needs saving.
    void changedWithoutUndo();
    /// A picture URL made absolute against the document's folder.
    QUrl resolved(const QUrl &url) const;

    /// The live state as the writer and the exports take it.
    LayoutSnapshot snapshot() const;
    /// The document text of the live state.
    QByteArray data() const;

    /// Saves to the current file (asking for one when untitled); false when not saved.
    bool save();
    bool saveAs();
    /// Writes the document to the file and makes it the document's file. An explicit save
    /// (not autosave) also becomes what Discard and Revert to Saved go back to.
    bool saveTo(const QString &fileName, QString *error, bool explicitSave = true);
    /// Writes back the file as it was when opened or last saved explicitly, and shows it;
    /// what was done since is gone (and cannot be undone). False when it could not.
    bool revertToSaved(QString *error = nullptr);
    /// The failure of the last autosave (empty when it succeeded).
    QString autosaveError() const { return m_autosaveError; }
    /// Prints the layout on one landscape page of the printer as it is set up.
    void printTo(QPrinter &printer) const;
    /// Chooses the pictures for Add Pictures; tests replace it to stand in for the dialog.
    static std::function<QStringList(QWidget *parent, const QString &folder)> &pictureChooser();
    /// Chooses the new place of a missing picture; tests replace it to stand in for the dialog.
    static std::function<QString(QWidget *parent, const QString &missing, const QString &folder)> &relinkChooser();
    /// What the reader changed on the way when the file was opened (line by line).
    QStringList readerWarnings() const { return m_readerWarnings; }
    /// The pictures (strip and background) whose files are not there, as stored.
    QList<QUrl> missingPictures() const;
    /// Points the picture (and the frames naming it) at a file the user chooses; false
    /// when nothing was changed.
    bool relinkPicture(const QUrl &picture);
    /// Takes the content of an interrupted save as this document's unsaved work.
    bool adoptUnsavedWork(const QByteArray &bytes, QString *error);
    /// The folder a file dialog of this document starts in.
    QString dialogFolder() const;
    /// Writes the export with these choices (the folder made when missing) and reports it.
    void exportWith(const ExportSettings &settings, const QString &patternName, bool animation);

    /// Before closing: saves, discards or cancels as the user chooses when there are
    /// unsaved changes. False when the user cancelled.
    bool maybeSave();

public slots:
    /// File ▸ Export…: asks where and what (remembered per layout), then exports.
    void exportAll();
    /// Asks for pictures (formats Qt reads) and adds them to the strip; the first one
    /// becomes the background.
    void addPictures();
    /// Asks for a map of another tool and appends its LEDs (one undo step).
    void importLedMap();
    /// Asks which missing picture (when several) and where it is now.
    void relinkPicture();
    /// Asks where, then writes the LED map in the format (named by its command-line name).
    void exportMap(const QString &formatName);
    void exportTemplate();
    void showHelp();
    /// The print dialog (paper, orientation, scaling), then one landscape page.
    void print();
    void printPreview();

signals:
    void titleChanged();

private:
    /// The set-up from what the reader found, registering no undo.
    void setUp(const Model &model);
    void edited();
    void autosave();
    void discardRecovery();
    /// A picture of the layout decoded with a problem (damaged, too large) is told.
    void pictureReady(const QUrl &url);
    /// Untitled work, or work whose file cannot be written, goes to a recovery file.
    void keepRecoveryCopy();
    /// Writes the saved bytes back over the file when it holds something else.
    bool writeBackSaved(QString *error);
    /// Another program changed the file: reload it or keep this document's content.
    void fileChangedOnDisk(const QByteArray &bytes);
    /// The file was moved or deleted: autosave stops writing there; Save As is offered.
    void fileGone();
    /// Why the file cannot be made this document's file (open elsewhere); empty when it can.
    QString refusalToSaveAs(const QString &fileName) const;

    QString m_fileName;
    QString m_recoveryFile;
    std::unique_ptr<DocumentLock> m_lock;
    std::unique_ptr<DocumentLock> m_recoveryLock;
    DocumentFileWatcher *m_watcher;
    bool m_readOnly = false;
    bool m_fileGone = false;
    DocumentModel *m_model;
    UndoManager *m_undo;
    bool m_settingUp = false;
    DocumentWindow *m_window = nullptr;
    QTimer m_autosaveTimer;
    /// The file's bytes as of opening or the last explicit save.
    QByteArray m_savedBytes;
    bool m_hasSavedBytes = false;
    /// The close question is open: nothing is written meanwhile.
    bool m_asking = false;
    QString m_autosaveError;
    QStringList m_readerWarnings;
    // Changes that register no undo (the picture strip) but still need saving.
    bool m_changedWithoutUndo = false;
};

} // namespace lumora
