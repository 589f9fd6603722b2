#include "Document.h"

#include "Application.h"
#include "DocumentWindow.h"
#include "ExportDialog.h"
#include "HelpWindow.h"

#include "document/DocumentFile.h"
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "exports/ExportSettings.h"
#include "exports/Exporter.h"
#include "document/PictureUrl.h"
#include "common/SaveFile.h"
#include "maps/LedMapImport.h"
#include "maps/MapExport.h"
#include "document/UndoManager.h"
#include "pictures/Picture.h"
#include "pictures/PictureCache.h"
#include "editor/timeline/AnimationEditorView.h"
#include "editor/strip/ImageBrowserController.h"
#include "editor/View.h"
#include "patterns/framework/PatternRegistry.h"
#include "colors/UserPattern.h"
#include "MyPatterns.h"

#include "PrintView.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QInputDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QtConcurrent>

namespace lumora {

namespace {

/// The application's patterns; none for a document made without one.
const PatternRegistry &patterns()
{
    static const PatternRegistry none;
    return Application::instance() ? Application::instance()->patterns() : none;
}

} // namespace

Document::Document(DocumentFile *file)
    : m_file(file ? file : new DocumentFile())
    , m_model(m_file->model())
    , m_undo(m_file->undoManager())
{
    m_file->setParent(this);
    m_window = new DocumentWindow(this);
    connect(m_model->pictures(), &PictureCache::ready, this, &Document::pictureReady);
    connect(m_file, &DocumentFile::stateChanged, this, &Document::titleChanged);
    connect(m_file, &DocumentFile::loaded, this, &Document::showFirstPicture);
    connect(m_file, &DocumentFile::message, m_window, &DocumentWindow::showStatus);
    connect(m_file, &DocumentFile::conflict, this, &Document::askAboutConflict, Qt::QueuedConnection);
    connect(m_file, &DocumentFile::gone, this, &Document::fileGone, Qt::QueuedConnection);
    connect(m_file, &DocumentFile::saved, this, [this] {
        if (Application *app = Application::instance())
            app->addRecentFile(fileName());
    });
    // The layout was read before the window was made: its widgets see it set up now.
    m_file->runAsSetUp([this] {
        m_model->announce();
        showFirstPicture();
    });
    // The undo history's memory budget, in MB (a setting; 256 by default).
    if (const qint64 megabytes = QSettings().value("undoMemoryMB", 256).toLongLong(); megabytes > 0)
        m_undo->setMemoryBudget(megabytes << 20);
}

Document::~Document()
{
    delete m_window;
}

Document *Document::open(const QString &fileName, QString *error, bool readOnly)
{
    DocumentFile *file = DocumentFile::open(fileName, error, readOnly);
    if (!file)
        return nullptr;
    auto *document = new Document(file);
    emit document->titleChanged();
    return document;
}

QString Document::recoveryFolder()
{
    return DocumentFile::recoveryFolder();
}

QStringList Document::recoveryFiles()
{
    return DocumentFile::recoveryFiles();
}

QStringList Document::orphanedRecoveryFiles()
{
    return DocumentFile::orphanedRecoveryFiles();
}

bool Document::discardOrphanedRecovery(const QString &recoveryFile)
{
    return DocumentFile::discardOrphanedRecovery(recoveryFile);
}

Document *Document::recover(const QString &recoveryFile)
{
    DocumentFile *file = DocumentFile::recover(recoveryFile);
    if (!file)
        return nullptr;
    auto *document = new Document(file);
    emit document->titleChanged();
    return document;
}

void Document::showFirstPicture()
{
    // The first picture starts as the background, so the layout opens on its picture.
    if (!m_model->images().isEmpty())
        m_window->selectPicture(0);
}

QString Document::fileName() const
{
    return m_file->fileName();
}

QString Document::displayName() const
{
    return m_file->displayName();
}

View *Document::view() const
{
    return m_window->view();
}

void Document::showWindow()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool Document::isModified() const
{
    return m_file->isModified();
}

bool Document::isReadOnly() const
{
    return m_file->isReadOnly();
}

bool Document::isFileGone() const
{
    return m_file->isFileGone();
}

QString Document::autosaveError() const
{
    return m_file->autosaveError();
}

QStringList Document::readerWarnings() const
{
    return m_file->readerWarnings();
}

QList<QUrl> Document::imageUrls() const
{
    return m_model->images();
}

void Document::changedWithoutUndo()
{
    m_file->changedWithoutUndo();
}

QUrl Document::resolved(const QUrl &url) const
{
    return m_file->resolved(url);
}

LayoutSnapshot Document::snapshot() const
{
    return m_model->snapshot();
}

QByteArray Document::data() const
{
    return m_file->data();
}

QString Document::refusalToSaveAs(const QString &fileName) const
{
    const Application *app = Application::instance();
    const Document *other = app ? app->documentFor(fileName) : nullptr;
    if (other && other != this)
        return tr("“%1” is open in another window; close it there first").arg(QFileInfo(fileName).fileName());
    return {};
}

bool Document::saveTo(const QString &fileName, QString *error, bool explicitSave)
{
    if (QFileInfo(fileName).absoluteFilePath() != m_file->fileName()) {
        const QString refusal = refusalToSaveAs(fileName);
        if (!refusal.isEmpty()) {
            if (error)
                *error = refusal;
            return false;
        }
    }
    return m_file->saveTo(fileName, error, explicitSave);
}

bool Document::save()
{
    // A file moved away is not silently re-created at its old place.
    if (m_file->isUntitled() || m_file->isFileGone())
        return saveAs();
    QString error;
    if (saveTo(m_file->fileName(), &error))
        return true;
    // Another program's save is asked about (queued) rather than reported as a failure.
    if (!m_file->hasConflict())
        QMessageBox::warning(m_window, tr("Cannot Save"), error);
    return false;
}

bool Document::saveAs()
{
    const QString current = m_file->fileName();
    QString fileName = QFileDialog::getSaveFileName(m_window, tr("Save Layout"),
                                                    current.isEmpty() ? QDir(dialogFolder()).filePath(tr("Untitled.lumora"))
                                                                      : current,
                                                    tr("Lumora layouts (*.lumora)"));
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += ".lumora";
    QString error;
    if (saveTo(fileName, &error))
        return true;
    QMessageBox::warning(m_window, tr("Cannot Save"), error);
    return false;
}

bool Document::maybeSave()
{
    // An edit of this very event counts too.
    m_undo->endGrouping();
    if (m_file->closesWithoutAsking()) {
        // Autosave already keeps the file up to date; what is left is written now.
        QString error;
        if (m_file->autosave(&error))
            return true;
        if (m_file->hasConflict()) {
            askAboutConflict();
            if (m_file->autosave(&error))
                return true;
        }
        m_asking = true;
        m_file->hold(true);
        QMessageBox box(QMessageBox::Warning, tr("Cannot Save"),
                        tr("The changes to “%1” could not be saved.").arg(displayName()),
                        QMessageBox::Save | QMessageBox::Close | QMessageBox::Cancel, m_window);
        box.setInformativeText(error.isEmpty() ? tr("They are kept in the recovery folder.")
                                               : tr("%1. They are kept in the recovery folder.").arg(error));
        box.button(QMessageBox::Save)->setText(tr("Save As…"));
        box.setDefaultButton(QMessageBox::Save);
        const int answer = box.exec();
        m_asking = false;
        m_file->hold(false);
        if (answer == QMessageBox::Save)
            return saveAs();
        return answer == QMessageBox::Close;
    }
    if (!isModified())
        return true;
    m_file->hold(true);
    m_asking = true;
    const auto answer = QMessageBox::warning(
        m_window, tr("Unsaved Changes"), tr("Save the changes to “%1” before closing?").arg(displayName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    m_asking = false;
    m_file->hold(false);
    if (answer == QMessageBox::Save)
        return save();
    if (answer != QMessageBox::Discard)
        return false;
    // Don't Save: untitled work had no file; a read-only or moved-away file was never
    // written. Only the recovery copy goes.
    m_file->discardRecovery();
    return true;
}

bool Document::revertToSaved(QString *error)
{
    return m_file->revertToSaved(error);
}

void Document::askAboutConflict()
{
    if (m_asking || !m_file->hasConflict())
        return;
    QMessageBox box(QMessageBox::Question, tr("File Changed on Disk"),
                    tr("“%1” was saved by another program while you had unsaved changes here.").arg(displayName()),
                    QMessageBox::Yes | QMessageBox::No, m_window);
    box.setInformativeText(tr("Use their version, or keep yours and save it over theirs? Either way the other one is "
                              "kept under File ▸ Revert To, and Undo brings yours back after using theirs."));
    box.button(QMessageBox::Yes)->setText(tr("Use Theirs"));
    box.button(QMessageBox::No)->setText(tr("Keep Mine"));
    // The safe choice: nothing is written over the other program's save.
    box.setDefaultButton(QMessageBox::Yes);
    m_asking = true;
    m_file->hold(true);
    const int answer = box.exec();
    m_asking = false;
    m_file->hold(false);
    QString error;
    const auto resolution = answer == QMessageBox::No ? DocumentFile::Resolution::KeepMine
                                                      : DocumentFile::Resolution::TakeTheirs;
    if (!m_file->resolveConflict(resolution, &error) && !error.isEmpty())
        QMessageBox::warning(m_window, tr("File Changed on Disk"), error);
    else if (resolution == DocumentFile::Resolution::TakeTheirs)
        m_window->showStatus(tr("Reloaded “%1”; Undo brings your version back.").arg(displayName()));
}

void Document::exportAll()
{
    if (fileName().isEmpty()) {
        const auto answer = QMessageBox::question(
            m_window, tr("Export"), tr("The export files go beside the layout. Save the layout first?"),
            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save);
        if (answer != QMessageBox::Save || !saveAs())
            return;
    }
    QSettings store;
    const ColorPattern *current = Application::instance() ? Application::instance()->pattern() : nullptr;
    QString currentName = current ? QString::fromStdString(current->name()) : QString();
    if (Application::instance() && !Application::instance()->myPatterns()->currentFile().isEmpty())
        currentName = Application::instance()->myPatterns()->currentFile();
    auto *dialog = new ExportDialog(fileName(), ExportSettings::load(store, fileName()), m_model->images().size(),
                                    m_model->animationEditor()->track().frames.size(), patterns(), currentName,
                                    m_window->isAnimationTabShown(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        exportWith(dialog->settings(), dialog->patternName(), dialog->animation());
    });
    dialog->open();
}

void Document::exportWith(const ExportSettings &settings, const QString &patternName, bool animation)
{
    const QString folder = settings.folderFor(fileName());
    if (!QDir().mkpath(folder)) {
        QMessageBox::warning(m_window, tr("Export"), tr("Nothing was exported: the folder “%1” cannot be made.").arg(folder));
        return;
    }
    QSettings store;
    settings.save(store, fileName());
    // The export reads its own copy, so editing during the export cannot race with it.
    auto exporter = std::make_shared<Exporter>(snapshot().detached(), fileName());
    exporter->setOutputFolder(folder);
    exporter->setHeaderStyle(settings.headerStyle);
    exporter->setPatternFrames(settings.patternFrames);
    if (ExportDialog::isUserPatternFile(patternName)) {
        exportUserPattern(exporter, patternName, settings.patternFrames, animation, folder);
        return;
    }
    const ColorPattern *pattern = patternName.isEmpty() ? nullptr : patterns().named(patternName.toStdString());
    if (!pattern) {
        // The headers and their PPM need no pattern.
        m_window->showExportReport(animation ? exporter->exportAnimation() : exporter->exportImages(), folder);
        return;
    }
    runExport(QString::fromStdString(pattern->name()), settings.patternFrames, folder,
              [exporter, pattern, animation](RenderControl *control) {
                  return exporter->exportAll(*pattern, animation, control);
              });
}

void Document::exportUserPattern(const std::shared_ptr<Exporter> &exporter, const QString &patternFile, int frames,
                                 bool animation, const QString &folder)
{
    QStringList errors;
    const std::optional<UserPattern> pattern = UserPattern::load(patternFile, errors);
    if (!pattern) {
        QMessageBox::warning(m_window, tr("Export"),
                             tr("Nothing was exported: the pattern “%1” has errors.\n\n%2")
                                 .arg(QFileInfo(patternFile).completeBaseName(), errors.join('\n')));
        return;
    }
    runExport(pattern->name(), frames, folder, [exporter, pattern = *pattern, animation](RenderControl *control) {
        return exporter->exportAll(pattern, animation, control);
    });
}

void Document::runExport(const QString &patternName, int frames, const QString &folder,
                         const std::function<ExportReport(RenderControl *)> &job)
{
    auto control = std::make_shared<RenderControl>();

    auto *progress = new QProgressDialog(tr("Rendering %1…").arg(patternName), tr("Cancel"), 0, frames, m_window);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(300);
    auto *watcher = new QFutureWatcher<ExportReport>(this);
    auto *poll = new QTimer(watcher);
    connect(poll, &QTimer::timeout, progress, [progress, control] { progress->setValue(control->framesDone); });
    connect(progress, &QProgressDialog::canceled, this, [control] { control->cancelled = true; });
    connect(watcher, &QFutureWatcher<ExportReport>::finished, this, [this, watcher, progress, folder] {
        const ExportReport report = watcher->result();
        progress->reset();
        progress->deleteLater();
        watcher->deleteLater();
        m_window->showExportReport(report, folder);
    });
    watcher->setFuture(QtConcurrent::run([job, control] { return job(control.get()); }));
    poll->start(50);
}

void Document::importLedMap()
{
    const QString folder = fileName().isEmpty() ? QString() : QFileInfo(fileName()).absolutePath();
    const QString fileName = QFileDialog::getOpenFileName(
        m_window, tr("Import LED Map"), folder, tr("LED maps (*.csv *.json *.xmodel *.txt);;All files (*)"));
    if (fileName.isEmpty())
        return;
    const LedMapImport result = importLedMapFile(fileName);
    if (!result.ok()) {
        QMessageBox::warning(m_window, tr("Import LED Map"),
                             tr("Nothing was imported from “%1”: %2").arg(QFileInfo(fileName).fileName(), result.error));
        return;
    }
    // Into an empty layout a map of cells brings its grid too, as lumora-cli import does, so
    // its cells (and LEDs between them) export back as they came.
    const bool takeGrid = result.grid && m_model->leds().isEmpty() && m_model->gridState() == 0;
    m_model->importLeds(result.leds, result.filled);
    if (takeGrid) {
        m_model->setGrid(*result.grid);
        m_model->undoManager()->setActionName("import LEDs");
    }
    // The filled LEDs are marked and listed, so the user can check and move them.
    if (!result.filledRuns.isEmpty())
        m_window->reportProblems(tr("Filled LEDs"),
                                 tr("“%1” does not place these LEDs; they were filled in on the wiring between their "
                                    "neighbours and are marked:").arg(QFileInfo(fileName).fileName()),
                                 result.filledRuns);
    QString message = tr("Imported %n LED(s).", nullptr, int(result.leds.size()));
    if (!result.gapNote.isEmpty()) {
        const QString note = result.gapNote.left(1).toUpper() + result.gapNote.mid(1);
        message += ' ' + note + (result.filled.isEmpty() ? tr(".") : tr(". They are marked."));
    }
    if (!result.warnings.isEmpty())
        message += ' ' + result.warnings.join(' ');
    m_window->showStatus(message);
}

void Document::exportMap(const QString &formatName)
{
    const auto format = formatNamed(formatName);
    if (!format)
        return;
    const QFileInfo document(fileName().isEmpty() ? tr("Untitled.lumora") : fileName());
    const QString suggested = QDir(fileName().isEmpty() ? QDir::homePath() : document.absolutePath())
                                  .filePath(suggestedFileName(*format, document.completeBaseName()));
    const QString fileName = QFileDialog::getSaveFileName(m_window, tr("Export %1").arg(formatTitle(*format)), suggested);
    if (fileName.isEmpty())
        return;
    MapExport result;
    QString error;
    if (!saveLedMap(*format, snapshot(), document.completeBaseName(), fileName, &result, &error)) {
        QMessageBox::warning(m_window, tr("Export Map"), tr("“%1” was not written: %2").arg(fileName, error));
        return;
    }
    if (!result.lost.isEmpty())
        QMessageBox::warning(m_window, tr("Export Map"),
                             tr("%1 could not hold everything:\n%2").arg(formatTitle(*format), result.lost.join('\n')));
    m_window->showStatus(tr("Wrote %1. %2").arg(QFileInfo(fileName).fileName(), result.notes.join("; ")));
}

void Document::exportTemplate()
{
    if (fileName().isEmpty()) {
        QMessageBox::information(m_window, tr("Export Template"), tr("Save the layout first: the picture goes beside it."));
        return;
    }
    m_window->showExportReport(Exporter(snapshot(), fileName()).exportTemplate());
}

void Document::printTo(QPrinter &printer) const
{
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    // Draw in points, so that a circle is 34 points across whatever the printer resolution.
    const QRectF page = printer.pageLayout().paintRect(QPageLayout::Point);
    const double dotsPerPoint = printer.resolution() / 72.0;
    painter.scale(dotsPerPoint, dotsPerPoint);
    PrintView(view()).draw(painter, page.size());
}

void Document::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, m_window);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    dialog.setWindowTitle(tr("Print Layout"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // One landscape page, whatever the dialog held.
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFromTo(0, 0);
    printTo(printer);
}

void Document::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, m_window);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        target->setPageOrientation(QPageLayout::Landscape);
        printTo(*target);
    });
    preview.exec();
}

void Document::showHelp()
{
    HelpWindow::showHelp(helpPage());
}

QString Document::dialogFolder() const
{
    if (!fileName().isEmpty())
        return QFileInfo(fileName()).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

std::function<QStringList(QWidget *, const QString &)> &Document::pictureChooser()
{
    static std::function<QStringList(QWidget *, const QString &)> chooser = [](QWidget *parent, const QString &folder) {
        QStringList patterns;
        for (const QByteArray &format : QImageReader::supportedImageFormats())
            patterns.append("*." + QString::fromLatin1(format));
        return QFileDialog::getOpenFileNames(parent, tr("Add Pictures"), folder,
                                             tr("Pictures (%1)").arg(patterns.join(' ')));
    };
    return chooser;
}

void Document::addPictures()
{
    const QStringList files = pictureChooser()(m_window, dialogFolder());
    if (files.isEmpty())
        return;
    QList<QUrl> urls = m_model->images();
    const qsizetype first = urls.size();
    for (const QString &file : files)
        urls.append(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    m_model->setImages(urls);
    m_window->selectPicture(first);
}

void Document::fileGone()
{
    if (m_asking || !m_file->isFileGone())
        return;
    QMessageBox box(QMessageBox::Warning, tr("File Moved or Deleted"),
                    tr("“%1” was moved or deleted by another program.").arg(fileName()), QMessageBox::Save | QMessageBox::Cancel,
                    m_window);
    box.setInformativeText(tr("The layout is still open here. Save it under a name of your choice?"));
    box.button(QMessageBox::Save)->setText(tr("Save As…"));
    m_asking = true;
    const int answer = box.exec();
    m_asking = false;
    if (answer == QMessageBox::Save)
        saveAs();
}

void Document::pictureReady(const QUrl &url)
{
    // A missing file is told once on opening, with the way to relink it.
    if (!QFileInfo::exists(url.toLocalFile()))
        return;
    const PicturePtr picture = m_model->pictures()->decoded(url);
    const QString problem = picture ? picture->problem() : QString();
    if (!problem.isEmpty())
        m_window->reportProblems(tr("Picture Problems"), tr("Some pictures cannot be shown as they are:"), {problem});
}

QList<QUrl> Document::missingPictures() const
{
    QList<QUrl> missing;
    QList<QUrl> pictures = m_model->images();
    if (!m_model->backgroundUrl().isEmpty() && !pictures.contains(m_model->backgroundUrl()))
        pictures.append(m_model->backgroundUrl());
    for (const QUrl &url : std::as_const(pictures)) {
        const QUrl file = resolved(url);
        if (file.isLocalFile() && !QFileInfo(file.toLocalFile()).isFile() && !missing.contains(url))
            missing.append(url);
    }
    return missing;
}

std::function<QString(QWidget *, const QString &, const QString &)> &Document::relinkChooser()
{
    static std::function<QString(QWidget *, const QString &, const QString &)> chooser =
        [](QWidget *parent, const QString &missing, const QString &folder) {
            QStringList patterns;
            for (const QByteArray &format : QImageReader::supportedImageFormats())
                patterns.append("*." + QString::fromLatin1(format));
            return QFileDialog::getOpenFileName(parent, tr("Where Is “%1” Now?").arg(missing), folder,
                                                tr("Pictures (%1)").arg(patterns.join(' ')));
        };
    return chooser;
}

void Document::relinkPicture()
{
    const QList<QUrl> missing = missingPictures();
    if (missing.isEmpty()) {
        QMessageBox::information(m_window, tr("Relink Picture"), tr("Every picture of this layout is where it was."));
        return;
    }
    QUrl picture = missing.first();
    if (missing.size() > 1) {
        QStringList names;
        for (const QUrl &url : missing)
            names.append(resolved(url).toLocalFile());
        bool chosen = false;
        const QString name = QInputDialog::getItem(m_window, tr("Relink Picture"), tr("Missing picture:"), names, 0,
                                                   false, &chosen);
        if (!chosen)
            return;
        picture = missing.at(names.indexOf(name));
    }
    relinkPicture(picture);
}

bool Document::relinkPicture(const QUrl &picture)
{
    const QString chosen = relinkChooser()(m_window, QFileInfo(resolved(picture).toLocalFile()).fileName(), dialogFolder());
    if (chosen.isEmpty())
        return false;
    // Stored as a dropped picture is: relative when it lies in the document's folder.
    const QUrl absolute = QUrl::fromLocalFile(QFileInfo(chosen).absoluteFilePath());
    const QUrl replacement = fileName().isEmpty()
        ? absolute
        : expressedPictureUrl(absolute, QUrl(), QFileInfo(fileName()).absolutePath());
    // A missing background was not shown at all; it shows now.
    const bool showIt = !m_model->background() || m_model->backgroundUrl() == resolved(picture);
    m_model->renamePictures([&](const QUrl &url) { return url == picture ? replacement : url; });
    if (showIt) {
        const QUrl file = resolved(replacement);
        if (file.isLocalFile() && pictureRefusal(file.toLocalFile()).isEmpty())
            m_model->setBackground(m_model->pictures()->picture(file), file);
    }
    changedWithoutUndo();
    m_window->showStatus(tr("“%1” now shows %2.").arg(picture.toString(), chosen));
    return true;
}

bool Document::adoptUnsavedWork(const QByteArray &bytes, QString *error)
{
    return m_file->adoptUnsavedWork(bytes, error);
}

} // namespace lumora
