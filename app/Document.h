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

class DocumentFile;
class DocumentModel;
class DocumentWindow;
struct ExportReport;
struct ExportSettings;
class Exporter;
struct RenderControl;
class UndoManager;
class View;

/// One open layout in the editor: its file's life (a DocumentFile, owning the document model
/// with the undo history) and its window, which asks the questions the file raises. Any
/// change is saved in place two seconds after the last one (atomically); an untitled layout
/// is kept in a recovery file instead, offered back after a crash.
class Document : public QObject {
    Q_OBJECT
public:
    /// A new, untitled layout, or the layout of the file (taken over).
    explicit Document(DocumentFile *file = nullptr);
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

    DocumentFile *file() const { return m_file; }
    QString fileName() const;
    QString displayName() const;
    UndoManager *undoManager() const { return m_undo; }
    DocumentModel *model() const { return m_model; }
    View *view() const;
    DocumentWindow *window() const { return m_window; }
    void showWindow();
    bool isModified() const;
    /// Opened while another process had the file: never written to that file.
    bool isReadOnly() const;
    /// The file was moved or deleted on disk since it was opened or saved.
    bool isFileGone() const;

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
    /// (not autosave) also becomes what Revert To ▸ Last Saved goes back to.
    bool saveTo(const QString &fileName, QString *error, bool explicitSave = true);
    /// Goes back to the file as it was when opened or last saved explicitly, as one undo
    /// step; the state left is kept as a version. False when it could not.
    bool revertToSaved(QString *error = nullptr);
    /// The failure of the last autosave (empty when it succeeded).
    QString autosaveError() const;
    /// Prints the layout on one landscape page of the printer as it is set up.
    void printTo(QPrinter &printer) const;
    /// Chooses the pictures for Add Pictures; tests replace it to stand in for the dialog.
    static std::function<QStringList(QWidget *parent, const QString &folder)> &pictureChooser();
    /// Chooses the new place of a missing picture; tests replace it to stand in for the dialog.
    static std::function<QString(QWidget *parent, const QString &missing, const QString &folder)> &relinkChooser();
    /// What the reader changed on the way when the file was opened (line by line).
    QStringList readerWarnings() const;
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
    /// The export with a pattern of the user's (its .js file) for the pattern PPM.
    void exportUserPattern(const std::shared_ptr<Exporter> &exporter, const QString &patternFile, int frames,
                           bool animation, const QString &folder);
    /// Runs an export off the GUI thread with a progress dialog, then reports it.
    void runExport(const QString &patternName, int frames, const QString &folder,
                   const std::function<ExportReport(RenderControl *)> &job);

    /// Before closing: a titled layout writes what is unsaved and closes without a question;
    /// untitled (or read-only, or moved-away) work asks Save, Don't Save or Cancel. False
    /// when the window stays open.
    bool maybeSave();
    /// Asks which to keep when another program saved the file over unsaved changes here;
    /// taking theirs (undoable) is the default.
    void askAboutConflict();

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
    /// The first picture of the strip becomes the background, as the layout opens.
    void showFirstPicture();
    /// A picture of the layout decoded with a problem (damaged, too large) is told.
    void pictureReady(const QUrl &url);
    /// The file was moved or deleted: autosave stops writing there; Save As is offered.
    void fileGone();
    /// Why the file cannot be made this document's file (open elsewhere); empty when it can.
    QString refusalToSaveAs(const QString &fileName) const;

    DocumentFile *m_file;
    DocumentModel *m_model;
    UndoManager *m_undo;
    DocumentWindow *m_window = nullptr;
    /// A question is open: one at a time.
    bool m_asking = false;
};

} // namespace lumora
