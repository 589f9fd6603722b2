#include "Document.h"

#include "Application.h"
#include "DocumentWindow.h"

#include "document/DocumentFileWatcher.h"
#include "document/DocumentLock.h"
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "document/Exporter.h"
#include "document/PictureUrl.h"
#include "document/SaveFile.h"
#include "maps/LedMapImport.h"
#include "maps/MapExport.h"
#include "document/UndoManager.h"
#include "animation/Picture.h"
#include "animation/PictureCache.h"
#include "animation/ui/AnimationEditorView.h"
#include "animation/ui/ImageBrowserController.h"
#include "editor/View.h"
#include "patterns/framework/ColorPattern.h"

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
#include <QUuid>
#include <QtConcurrent>

namespace lumora {

Document::Document()
    : m_lock(std::make_unique<DocumentLock>())
    , m_watcher(new DocumentFileWatcher(this))
    , m_model(new DocumentModel(this))
    , m_undo(m_model->undoManager())
{
    connect(m_watcher, &DocumentFileWatcher::changedOnDisk, this, &Document::fileChangedOnDisk);
    connect(m_watcher, &DocumentFileWatcher::gone, this, &Document::fileGone);
    m_window = new DocumentWindow(this);
    connect(m_model->pictures(), &PictureCache::ready, this, &Document::pictureReady);
    connect(m_model, &DocumentModel::changedWithoutUndo, this, [this] {
        if (!m_settingUp)
            changedWithoutUndo();
    });
    // The undo history's memory budget, in MB (a setting; 256 by default).
    if (const qint64 megabytes = QSettings().value("undoMemoryMB", 256).toLongLong(); megabytes > 0)
        m_undo->setMemoryBudget(megabytes << 20);
    m_autosaveTimer.setSingleShot(true);
    m_autosaveTimer.setInterval(2000);
    connect(&m_autosaveTimer, &QTimer::timeout, this, &Document::autosave);
    connect(m_undo->stack(), &QUndoStack::indexChanged, this, &Document::edited);
    connect(m_undo->stack(), &QUndoStack::cleanChanged, this, &Document::titleChanged);
    setUp(Model());
}

Document::~Document()
{
    delete m_window;
}

Document *Document::open(const QString &fileName, QString *error, bool readOnly)
{
    Model model;
    const ReadResult result = readDocumentFile(fileName, model);
    if (!result.ok) {
        if (error)
            *error = result.error;
        return nullptr;
    }
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    auto lock = std::make_unique<DocumentLock>(absolute);
    if (!readOnly && lock->lock() == DocumentLock::State::HeldElsewhere) {
        if (error)
            *error = tr("it is already open in %1 (it can be opened read-only)").arg(lock->holder());
        return nullptr;
    }
    auto *document = new Document();
    document->m_fileName = absolute;
    document->m_lock = std::move(lock);
    document->m_readOnly = readOnly;
    document->m_readerWarnings = result.warnings;
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        document->m_savedBytes = file.readAll();
        document->m_hasSavedBytes = true;
    }
    document->setUp(model);
    document->m_watcher->watch(absolute, document->m_savedBytes);
    emit document->titleChanged();
    return document;
}

QString Document::recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

QStringList Document::recoveryFiles()
{
    QStringList files;
    const QDir dir(recoveryFolder());
    for (const QString &name : dir.entryList({"*.lumora"}, QDir::Files, QDir::Time))
        files.append(dir.filePath(name));
    return files;
}

QStringList Document::orphanedRecoveryFiles()
{
    QStringList files = recoveryFiles();
    files.removeIf([](const QString &file) { return DocumentLock::isHeldElsewhere(file); });
    return files;
}

bool Document::discardOrphanedRecovery(const QString &recoveryFile)
{
    DocumentLock lock(recoveryFile);
    if (lock.lock() == DocumentLock::State::HeldElsewhere)
        return false;
    return QFile::remove(recoveryFile);
}

Document *Document::recover(const QString &recoveryFile)
{
    // A live instance keeps its recovery file locked: that work is still open there.
    auto lock = std::make_unique<DocumentLock>(recoveryFile);
    if (lock->lock() == DocumentLock::State::HeldElsewhere)
        return nullptr;
    Model model;
    if (!readDocumentFile(recoveryFile, model).ok)
        return nullptr;
    auto *document = new Document();
    document->m_recoveryFile = recoveryFile;
    document->m_recoveryLock = std::move(lock);
    document->setUp(model);
    // Recovered work is unsaved work: mark it so that closing asks.
    document->m_undo->stack()->resetClean();
    emit document->titleChanged();
    return document;
}

void Document::setUp(const Model &model)
{
    m_settingUp = true;
    m_model->load(model);
    // The first picture starts as the background, so the layout opens on its picture.
    m_undo->disableUndoRegistration();
    if (!model.filenames.isEmpty())
        m_window->selectPicture(0);
    m_undo->enableUndoRegistration();
    m_settingUp = false;
}

QString Document::displayName() const
{
    return m_fileName.isEmpty() ? tr("Untitled") : QFileInfo(m_fileName).fileName();
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
    return m_changedWithoutUndo || !m_undo->stack()->isClean();
}

QList<QUrl> Document::imageUrls() const
{
    return m_model->images();
}

void Document::changedWithoutUndo()
{
    m_changedWithoutUndo = true;
    edited();
}

QUrl Document::resolved(const QUrl &url) const
{
    if (m_fileName.isEmpty())
        return url;
    return resolvedPictureUrl(url, documentBase(m_fileName));
}

LayoutSnapshot Document::snapshot() const
{
    return m_model->snapshot();
}

QByteArray Document::data() const
{
    return writeDocument(snapshot());
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
    const QString target = QFileInfo(fileName).absoluteFilePath();
    const bool anotherFile = target != m_fileName;
    // One writer per file: the new file's lock first, so two documents never share one.
    std::unique_ptr<DocumentLock> newLock;
    if (anotherFile) {
        QString refusal = refusalToSaveAs(target);
        newLock = std::make_unique<DocumentLock>(target);
        if (refusal.isEmpty() && newLock->lock() == DocumentLock::State::HeldElsewhere)
            refusal = tr("“%1” is open in %2").arg(QFileInfo(target).fileName(), newLock->holder());
        if (!refusal.isEmpty()) {
            if (error)
                *error = refusal;
            return false;
        }
    } else if (m_readOnly) {
        if (error)
            *error = tr("“%1” was opened read-only because another program has it open; use Save As to keep "
                        "your changes in another file")
                         .arg(displayName());
        return false;
    }
    // Pictures are stored so that they still resolve from where the file now lives.
    const QString folder = QFileInfo(fileName).absolutePath();
    const QUrl oldBase = m_fileName.isEmpty() ? QUrl() : documentBase(m_fileName);
    const QByteArray bytes = writeDocument(withPicturesFor(snapshot(), oldBase, folder));
    if (!saveFile(fileName, bytes, error))
        return false;
    if (anotherFile) {
        m_model->renamePictures([&](const QUrl &url) { return expressedPictureUrl(url, oldBase, folder); });
        // Already resolved, the background keeps showing the same file.
        m_lock = std::move(newLock);
        m_readOnly = false;
    }
    m_fileGone = false;
    m_watcher->watch(target, bytes);
    if (explicitSave) {
        m_savedBytes = bytes;
        m_hasSavedBytes = true;
    }
    m_autosaveError.clear();
    m_fileName = QFileInfo(fileName).absoluteFilePath();
    m_undo->stack()->setClean();
    m_changedWithoutUndo = false;
    discardRecovery();
    if (Application *app = Application::instance())
        app->addRecentFile(m_fileName);
    emit titleChanged();
    return true;
}

bool Document::save()
{
    // A file moved away is not silently re-created at its old place.
    if (m_fileName.isEmpty() || m_fileGone)
        return saveAs();
    QString error;
    if (saveTo(m_fileName, &error))
        return true;
    QMessageBox::warning(m_window, tr("Cannot Save"), error);
    return false;
}

bool Document::saveAs()
{
    QString fileName = QFileDialog::getSaveFileName(m_window, tr("Save Layout"),
                                                    m_fileName.isEmpty() ? QDir(dialogFolder()).filePath(tr("Untitled.lumora"))
                                                                         : m_fileName,
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
    if (!isModified())
        return true;
    // Autosave waits while the user decides, so that Discard still has something to discard.
    m_autosaveTimer.stop();
    m_asking = true;
    const auto answer = QMessageBox::warning(
        m_window, tr("Unsaved Changes"), tr("Save the changes to “%1” before closing?").arg(displayName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    m_asking = false;
    if (answer == QMessageBox::Cancel) {
        m_autosaveTimer.start();
        return false;
    }
    if (answer == QMessageBox::Save)
        return save();
    // Discard means the file as it was: autosave may have written some of the changes.
    QString error;
    if (!writeBackSaved(&error)) {
        QMessageBox::warning(m_window, tr("Cannot Discard"), error);
        return false;
    }
    discardRecovery();
    return true;
}

bool Document::writeBackSaved(QString *error)
{
    if (m_fileName.isEmpty() || !m_hasSavedBytes)
        return true;
    QFile current(m_fileName);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == m_savedBytes)
        return true;
    current.close();
    if (!saveFile(m_fileName, m_savedBytes, error))
        return false;
    m_watcher->setKnownBytes(m_savedBytes);
    return true;
}

bool Document::revertToSaved(QString *error)
{
    if (m_fileName.isEmpty() || !m_hasSavedBytes)
        return false;
    Model model;
    const ReadResult read = readDocument(m_savedBytes, model, documentBase(m_fileName));
    if (!read.ok) {
        if (error)
            *error = read.error;
        return false;
    }
    if (!writeBackSaved(error))
        return false;
    m_autosaveTimer.stop();
    setUp(model);
    m_undo->stack()->clear();
    m_changedWithoutUndo = false;
    emit titleChanged();
    return true;
}

void Document::edited()
{
    m_autosaveTimer.start(2000);
    emit titleChanged();
}

void Document::autosave()
{
    if (!isModified() || m_asking)
        return;
    QString error;
    // Never written: a file another process has open, or one that was moved or deleted.
    if (m_readOnly || m_fileGone) {
        keepRecoveryCopy();
        return;
    }
    if (!m_fileName.isEmpty()) {
        if (saveTo(m_fileName, &error, false))
            return;
        // Told in the window, tried again, and the work kept in the recovery folder
        // until a save succeeds.
        m_autosaveError = error;
        m_window->showStatus(tr("Autosave failed: %1. The changes are kept in the recovery folder.").arg(error));
        keepRecoveryCopy();
        m_autosaveTimer.start(10000);
        emit titleChanged();
        return;
    }
    keepRecoveryCopy();
}

void Document::keepRecoveryCopy()
{
    QString error;
    // Untitled work goes to a recovery file until the user saves it somewhere.
    if (m_recoveryFile.isEmpty()) {
        QDir().mkpath(recoveryFolder());
        m_recoveryFile = recoveryFolder() + "/untitled-" + QUuid::createUuid().toString(QUuid::WithoutBraces) + ".lumora";
        // Locked while this process lives, so another instance never offers or deletes it.
        m_recoveryLock = std::make_unique<DocumentLock>(m_recoveryFile);
        m_recoveryLock->lock();
    }
    // Kept outside the document's folder, so its pictures are named absolutely.
    const QUrl base = m_fileName.isEmpty() ? QUrl() : documentBase(m_fileName);
    if (!saveFile(m_recoveryFile, writeDocument(withPicturesFor(snapshot(), base, recoveryFolder())), &error))
        m_window->showStatus(tr("Could not keep a recovery copy: %1").arg(error));
}

void Document::discardRecovery()
{
    if (!m_recoveryFile.isEmpty())
        QFile::remove(m_recoveryFile);
    m_recoveryFile.clear();
    m_recoveryLock.reset();
}

void Document::exportAll()
{
    if (m_fileName.isEmpty()) {
        const auto answer = QMessageBox::question(
            m_window, tr("Export"), tr("The export files go beside the layout. Save the layout first?"),
            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save);
        if (answer != QMessageBox::Save || !saveAs())
            return;
    }
    // The export reads its own copy, so editing during the export cannot race with it.
    auto exporter = std::make_shared<Exporter>(snapshot().detached(), m_fileName);
    if (!m_exportFolder.isEmpty()) {
        if (!QDir().mkpath(m_exportFolder)) {
            QMessageBox::warning(m_window, tr("Export"), tr("Nothing was exported: the folder “%1” cannot be made.").arg(m_exportFolder));
            return;
        }
        exporter->setOutputFolder(m_exportFolder);
    }
    const bool animationTab = m_window->isAnimationTabShown();
    const ColorPattern *pattern = Application::instance() ? Application::instance()->pattern() : nullptr;
    if (!pattern) {
        // The headers and their PPM need no pattern: write them and say what was left out.
        ExportReport report = animationTab ? exporter->exportAnimation() : exporter->exportImages();
        report.warnings.prepend(tr("No pattern is chosen in the View menu, so no pattern PPM was written."));
        m_window->showExportReport(report);
        return;
    }
    auto control = std::make_shared<RenderControl>();

    auto *progress = new QProgressDialog(tr("Rendering %1…").arg(QString::fromStdString(pattern->name())),
                                         tr("Cancel"), 0, 3000, m_window);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(300);
    auto *watcher = new QFutureWatcher<ExportReport>(this);
    auto *poll = new QTimer(watcher);
    connect(poll, &QTimer::timeout, progress, [progress, control] { progress->setValue(control->framesDone); });
    connect(progress, &QProgressDialog::canceled, this, [control] { control->cancelled = true; });
    connect(watcher, &QFutureWatcher<ExportReport>::finished, this, [this, watcher, progress] {
        const ExportReport report = watcher->result();
        progress->reset();
        progress->deleteLater();
        watcher->deleteLater();
        m_window->showExportReport(report);
    });
    watcher->setFuture(QtConcurrent::run([exporter, pattern, animationTab, control] {
        return exporter->exportAll(*pattern, animationTab, control.get());
    }));
    poll->start(50);
}

void Document::exportToFolder()
{
    const QString start = m_exportFolder.isEmpty() ? dialogFolder() : m_exportFolder;
    const QString folder = QFileDialog::getExistingDirectory(m_window, tr("Export To Folder"), start);
    if (folder.isEmpty())
        return;
    m_exportFolder = folder;
    exportAll();
}

void Document::importLedMap()
{
    const QString folder = m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absolutePath();
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
    m_model->importLeds(result.leds);
    QString message = tr("Imported %n LED(s).", nullptr, int(result.leds.size()));
    if (!result.warnings.isEmpty())
        message += ' ' + result.warnings.join(' ');
    m_window->showStatus(message);
}

void Document::exportMap(const QString &formatName)
{
    const auto format = formatNamed(formatName);
    if (!format)
        return;
    const QFileInfo document(m_fileName.isEmpty() ? tr("Untitled.lumora") : m_fileName);
    const QString suggested = QDir(m_fileName.isEmpty() ? QDir::homePath() : document.absolutePath())
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
    m_window->showStatus(tr("Wrote %1. %2").arg(QFileInfo(fileName).fileName(), result.notes.join(' ')));
}

void Document::exportTemplate()
{
    if (m_fileName.isEmpty()) {
        QMessageBox::information(m_window, tr("Export Template"), tr("Save the layout first: the picture goes beside it."));
        return;
    }
    m_window->showExportReport(Exporter(snapshot(), m_fileName).exportTemplate());
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
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(helpPage())))
        QMessageBox::information(m_window, tr("Lumora Help"),
                                 tr("No web browser could be started. The help page is at:\n%1").arg(helpPage()));
}

QString Document::dialogFolder() const
{
    if (!m_fileName.isEmpty())
        return QFileInfo(m_fileName).absolutePath();
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

void Document::fileChangedOnDisk(const QByteArray &bytes)
{
    m_fileGone = false;
    // During the close question the user is leaving anyway; one question at a time.
    if (m_asking)
        return;
    QMessageBox box(QMessageBox::Question, tr("File Changed on Disk"),
                    tr("“%1” was changed by another program.").arg(displayName()), QMessageBox::Yes | QMessageBox::No,
                    m_window);
    box.setInformativeText(tr("Reload it (what you did here since is gone), or keep yours and save it over the file?"));
    box.button(QMessageBox::Yes)->setText(tr("Reload"));
    box.button(QMessageBox::No)->setText(tr("Keep Mine"));
    box.setDefaultButton(QMessageBox::No);
    m_autosaveTimer.stop();
    m_asking = true;
    const int answer = box.exec();
    m_asking = false;
    if (answer == QMessageBox::Yes) {
        Model model;
        const ReadResult read = readDocument(bytes, model, documentBase(m_fileName));
        if (read.ok) {
            setUp(model);
            m_undo->stack()->clear();
            m_changedWithoutUndo = false;
            m_savedBytes = bytes;
            m_hasSavedBytes = true;
            m_watcher->setKnownBytes(bytes);
            m_window->showStatus(tr("Reloaded “%1”.").arg(displayName()));
            emit titleChanged();
            return;
        }
        QMessageBox::warning(m_window, tr("Cannot Reload"),
                             tr("“%1” cannot be read now: %2. Your version is kept.").arg(displayName(), read.error));
    }
    // Keep Mine: this document's content is saved over the file as usual.
    if (!m_readOnly)
        changedWithoutUndo();
}

void Document::fileGone()
{
    if (m_fileGone)
        return;
    m_fileGone = true;
    m_autosaveTimer.stop();
    // The work stays safe meanwhile, in the recovery folder rather than at the old path.
    if (isModified())
        keepRecoveryCopy();
    m_window->showStatus(tr("“%1” was moved or deleted; changes are no longer saved there.").arg(displayName()));
    emit titleChanged();
    if (m_asking)
        return;
    QMessageBox box(QMessageBox::Warning, tr("File Moved or Deleted"),
                    tr("“%1” was moved or deleted by another program.").arg(m_fileName), QMessageBox::Save | QMessageBox::Cancel,
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
    const QUrl replacement = m_fileName.isEmpty()
        ? absolute
        : expressedPictureUrl(absolute, QUrl(), QFileInfo(m_fileName).absolutePath());
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
    Model model;
    const ReadResult read = readDocument(bytes, model, m_fileName.isEmpty() ? QUrl() : documentBase(m_fileName));
    if (!read.ok) {
        if (error)
            *error = read.error;
        return false;
    }
    setUp(model);
    m_undo->stack()->clear();
    // Unsaved work: the file itself still holds what was there before the save broke off.
    changedWithoutUndo();
    return true;
}

} // namespace lumora
