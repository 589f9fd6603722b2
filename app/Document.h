#pragma once

#include "document/LayoutSnapshot.h"

#include <QObject>

#include <functional>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QPrinter;

namespace lumora {

class DocumentModel;
class DocumentWindow;
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
    /// folder, or not UTF-8. Nothing is ever opened empty in place of a real file.
    static Document *open(const QString &fileName, QString *error);
    /// Reopens untitled work kept in a recovery file.
    static Document *recover(const QString &recoveryFile);
    static QStringList recoveryFiles();
    static QString recoveryFolder();

    QString fileName() const { return m_fileName; }
    QString displayName() const;
    UndoManager *undoManager() const { return m_undo; }
    DocumentModel *model() const { return m_model; }
    View *view() const;
    DocumentWindow *window() const { return m_window; }
    void showWindow();
    bool isModified() const;

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
    /// The folder a file dialog of this document starts in.
    QString dialogFolder() const;

    /// Before closing: saves, discards or cancels as the user chooses when there are
    /// unsaved changes. False when the user cancelled.
    bool maybeSave();

public slots:
    void exportAll();
    /// Asks for pictures (formats Qt reads) and adds them to the strip; the first one
    /// becomes the background.
    void addPictures();
    /// Asks for a map of another tool and appends its LEDs (one undo step).
    void importLedMap();
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
    /// Untitled work, or work whose file cannot be written, goes to a recovery file.
    void keepRecoveryCopy();
    /// Writes the saved bytes back over the file when it holds something else.
    bool writeBackSaved(QString *error);

    QString m_fileName;
    QString m_recoveryFile;
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
    // Changes that register no undo (the picture strip) but still need saving.
    bool m_changedWithoutUndo = false;
};

} // namespace lumora
