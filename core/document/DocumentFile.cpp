#include "DocumentFile.h"

#include "DocumentFileWatcher.h"
#include "DocumentLock.h"
#include "DocumentModel.h"
#include "DocumentReader.h"
#include "DocumentWriter.h"
#include "PictureUrl.h"
#include "common/SaveFile.h"
#include "UndoManager.h"

#include "pictures/Picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

namespace lumora {

DocumentFile::DocumentFile(QObject *parent)
    : QObject(parent)
    , m_lock(std::make_unique<DocumentLock>())
    , m_watcher(new DocumentFileWatcher(this))
    , m_model(new DocumentModel(this))
    , m_undo(m_model->undoManager())
{
    connect(m_watcher, &DocumentFileWatcher::changedOnDisk, this, &DocumentFile::changedOnDisk);
    connect(m_watcher, &DocumentFileWatcher::gone, this, &DocumentFile::fileGone);
    connect(m_model, &DocumentModel::changedWithoutUndo, this, [this] {
        if (!m_settingUp)
            changedWithoutUndo();
    });
    m_autosaveTimer.setSingleShot(true);
    connect(&m_autosaveTimer, &QTimer::timeout, this, [this] { autosave(); });
    connect(m_undo->stack(), &QUndoStack::indexChanged, this, &DocumentFile::edited);
    connect(m_undo->stack(), &QUndoStack::cleanChanged, this, &DocumentFile::stateChanged);
}

DocumentFile::~DocumentFile() = default;

DocumentFile *DocumentFile::open(const QString &fileName, QString *error, bool readOnly)
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
    auto *file = new DocumentFile();
    file->m_fileName = absolute;
    file->m_lock = std::move(lock);
    file->m_readOnly = readOnly;
    file->m_readerWarnings = result.warnings;
    file->m_openedBytes = file->fileBytes();
    file->m_hasOpenedBytes = true;
    file->m_savedBytes = file->m_openedBytes;
    file->setUp(model);
    file->m_watcher->watch(absolute, file->m_openedBytes);
    return file;
}

QString DocumentFile::recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

QStringList DocumentFile::recoveryFiles()
{
    QStringList files;
    const QDir dir(recoveryFolder());
    for (const QString &name : dir.entryList({"*.lumora"}, QDir::Files, QDir::Time))
        files.append(dir.filePath(name));
    return files;
}

QStringList DocumentFile::orphanedRecoveryFiles()
{
    QStringList files = recoveryFiles();
    files.removeIf([](const QString &file) { return DocumentLock::isHeldElsewhere(file); });
    return files;
}

bool DocumentFile::discardOrphanedRecovery(const QString &recoveryFile)
{
    DocumentLock lock(recoveryFile);
    if (lock.lock() == DocumentLock::State::HeldElsewhere)
        return false;
    return QFile::remove(recoveryFile);
}

DocumentFile *DocumentFile::recover(const QString &recoveryFile)
{
    // A live instance keeps its recovery file locked: that work is still open there.
    auto lock = std::make_unique<DocumentLock>(recoveryFile);
    if (lock->lock() == DocumentLock::State::HeldElsewhere)
        return nullptr;
    Model model;
    if (!readDocumentFile(recoveryFile, model).ok)
        return nullptr;
    auto *file = new DocumentFile();
    file->m_recoveryFile = recoveryFile;
    file->m_recoveryLock = std::move(lock);
    file->setUp(model);
    // Recovered work is unsaved work: marked so that closing asks.
    file->m_undo->stack()->resetClean();
    return file;
}

void DocumentFile::setUp(const Model &model)
{
    runAsSetUp([&] {
        m_model->load(model);
        emit loaded();
    });
}

void DocumentFile::runAsSetUp(const std::function<void()> &setUp)
{
    const bool wasSettingUp = m_settingUp;
    m_settingUp = true;
    m_undo->disableUndoRegistration();
    setUp();
    m_undo->enableUndoRegistration();
    m_settingUp = wasSettingUp;
}

QString DocumentFile::displayName() const
{
    return m_fileName.isEmpty() ? tr("Untitled") : QFileInfo(m_fileName).fileName();
}

bool DocumentFile::isModified() const
{
    return m_changedWithoutUndo || !m_undo->stack()->isClean();
}

QUrl DocumentFile::resolved(const QUrl &url) const
{
    if (m_fileName.isEmpty())
        return url;
    return resolvedPictureUrl(url, documentBase(m_fileName));
}

QByteArray DocumentFile::data() const
{
    return writeDocument(m_model->snapshot());
}

QByteArray DocumentFile::fileBytes() const
{
    QFile file(m_fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void DocumentFile::changedWithoutUndo()
{
    m_changedWithoutUndo = true;
    edited();
}

void DocumentFile::edited()
{
    m_autosaveTimer.start(m_autosaveDelay);
    emit stateChanged();
}

void DocumentFile::hold(bool held)
{
    m_held = held;
    if (held)
        m_autosaveTimer.stop();
    else if (isModified())
        m_autosaveTimer.start(m_autosaveDelay);
}

bool DocumentFile::keepVersion(const QByteArray &bytes, DocumentVersions::Kind kind)
{
    if (m_fileName.isEmpty())
        return false;
    QString error;
    if (!DocumentVersions(m_fileName).add(bytes, kind, &error)) {
        emit message(tr("Could not keep a version of “%1”: %2").arg(displayName(), error));
        return false;
    }
    m_lastVersion = QDateTime::currentDateTimeUtc();
    return true;
}

bool DocumentFile::writeInPlace(const QByteArray &bytes, QString *error)
{
    // Never over another program's save: the file must be the one last read or written,
    // looked at once before writing and again just before the new file replaces it.
    const auto refuse = [&] {
        const QString folder = QFileInfo(m_fileName).absolutePath();
        if (error && !QFileInfo(folder).isDir())
            *error = tr("the folder %1 is not there").arg(folder);
        else if (error)
            *error = tr("“%1” was changed by another program; nothing was written over it").arg(displayName());
        checkDisk();
        return false;
    };
    if (!m_watcher->isUnchanged())
        return refuse();
    if (m_hasOpenedBytes && !m_openedKept) {
        m_openedKept = true;
        keepVersion(m_openedBytes, DocumentVersions::Kind::Opened);
    }
    SaveFile file(m_fileName);
    if (!file.open() || !file.write(bytes)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!m_watcher->isUnchanged())
        return refuse(); // the temporary file goes, the file stays theirs
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    m_watcher->setKnownBytes(bytes);
    return true;
}

bool DocumentFile::saveTo(const QString &fileName, QString *error, bool explicitSave)
{
    const QString target = QFileInfo(fileName).absoluteFilePath();
    const bool anotherFile = target != m_fileName;
    // One writer per file: the new file's lock first, so two documents never share one.
    std::unique_ptr<DocumentLock> newLock;
    if (anotherFile) {
        newLock = std::make_unique<DocumentLock>(target);
        if (newLock->lock() == DocumentLock::State::HeldElsewhere) {
            if (error)
                *error = tr("“%1” is open in %2").arg(QFileInfo(target).fileName(), newLock->holder());
            return false;
        }
    } else if (m_readOnly) {
        if (error)
            *error = tr("“%1” was opened read-only because another program has it open; use Save As to keep "
                        "your changes in another file")
                         .arg(displayName());
        return false;
    } else if (m_conflict) {
        if (error)
            *error = tr("“%1” was changed by another program; choose which version to keep first").arg(displayName());
        emit conflict();
        return false;
    }
    // Pictures are stored so that they still resolve from where the file now lives.
    const QString folder = QFileInfo(target).absolutePath();
    const QUrl oldBase = m_fileName.isEmpty() ? QUrl() : documentBase(m_fileName);
    const QByteArray bytes = writeDocument(withPicturesFor(m_model->snapshot(), oldBase, folder));
    if (anotherFile) {
        if (!saveFile(target, bytes, error))
            return false;
        m_model->renamePictures([&](const QUrl &url) { return expressedPictureUrl(url, oldBase, folder); });
        // Already resolved, the background keeps showing the same file.
        m_lock = std::move(newLock);
        m_readOnly = false;
        m_fileName = target;
        // A new file starts with nothing to keep from before.
        m_openedKept = true;
        m_hasOpenedBytes = true;
        m_openedBytes = bytes;
        m_savedBytes = bytes;
        m_conflict = false;
        m_watcher->watch(target, bytes);
    } else if (!writeInPlace(bytes, error)) {
        return false;
    }
    m_fileGone = false;
    if (explicitSave) {
        m_savedBytes = bytes;
        keepVersion(bytes, DocumentVersions::Kind::Saved);
    } else if (!m_lastVersion.isValid() || m_lastVersion.msecsTo(QDateTime::currentDateTimeUtc()) >= m_versionInterval) {
        keepVersion(bytes, DocumentVersions::Kind::Edited);
    }
    m_autosaveError.clear();
    m_autosaveTimer.stop();
    m_undo->stack()->setClean();
    m_changedWithoutUndo = false;
    discardRecovery();
    emit saved();
    emit stateChanged();
    return true;
}

bool DocumentFile::autosave(QString *error)
{
    m_undo->endGrouping();
    if (!isModified())
        return true;
    if (m_held)
        return false;
    // Never written: untitled work, a file another process has open, one that was moved or
    // deleted, or one another program saved while this one has unsaved changes.
    if (m_fileName.isEmpty() || m_readOnly || m_fileGone || m_conflict) {
        keepRecoveryCopy();
        return false;
    }
    QString failure;
    if (saveTo(m_fileName, &failure, false))
        return true;
    if (error)
        *error = failure;
    // Another program's save is a question, not a failure; the work waits in recovery.
    keepRecoveryCopy();
    if (m_conflict || m_fileGone)
        return false;
    // Told, tried again, and the work kept in the recovery folder until a save succeeds.
    m_autosaveError = failure;
    emit message(tr("Autosave failed: %1. The changes are kept in the recovery folder.").arg(failure));
    m_autosaveTimer.start(10000);
    emit stateChanged();
    return false;
}

void DocumentFile::keepRecoveryCopy()
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
    if (!saveFile(m_recoveryFile, writeDocument(withPicturesFor(m_model->snapshot(), base, recoveryFolder())), &error))
        emit message(tr("Could not keep a recovery copy: %1").arg(error));
}

void DocumentFile::discardRecovery()
{
    if (!m_recoveryFile.isEmpty())
        QFile::remove(m_recoveryFile);
    m_recoveryFile.clear();
    m_recoveryLock.reset();
}

bool DocumentFile::adoptUnsavedWork(const QByteArray &bytes, QString *error)
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

// --- Versions --------------------------------------------------------------------------

QList<DocumentVersions::Version> DocumentFile::versions() const
{
    if (m_fileName.isEmpty())
        return {};
    return DocumentVersions(m_fileName).list();
}

QUrl DocumentFile::firstPicture(const QList<QUrl> &pictures) const
{
    if (pictures.isEmpty())
        return {};
    const QUrl file = resolved(pictures.first());
    return file.isLocalFile() && pictureRefusal(file.toLocalFile()).isEmpty() ? file : QUrl();
}

bool DocumentFile::replaceBy(const QByteArray &bytes, const QString &name, QString *error)
{
    Model model;
    const ReadResult read = readDocument(bytes, model, m_fileName.isEmpty() ? QUrl() : documentBase(m_fileName));
    if (!read.ok) {
        if (error)
            *error = read.error;
        return false;
    }
    // A step of its own, however the event that led here is grouped.
    m_undo->endGrouping();
    m_model->replace(model, firstPicture(model.filenames), name);
    m_undo->endGrouping();
    return true;
}

bool DocumentFile::revertToOpened(QString *error)
{
    return canRevert() && revertToVersion({QString(), {}, DocumentVersions::Kind::Opened}, error);
}

bool DocumentFile::revertToSaved(QString *error)
{
    return canRevert() && revertToVersion({QString(), {}, DocumentVersions::Kind::Saved}, error);
}

bool DocumentFile::revertToVersion(const DocumentVersions::Version &version, QString *error)
{
    if (m_fileName.isEmpty())
        return false;
    // Without a file, the session's own bytes: the file as opened, or as last saved.
    QByteArray bytes;
    if (!version.fileName.isEmpty())
        bytes = DocumentVersions::read(version, error);
    else
        bytes = version.kind == DocumentVersions::Kind::Opened ? m_openedBytes : m_savedBytes;
    if (!version.fileName.isEmpty() && bytes.isEmpty() && error && !error->isEmpty())
        return false;
    Model check;
    const ReadResult read = readDocument(bytes, check, documentBase(m_fileName));
    if (!read.ok) {
        if (error)
            *error = read.error;
        return false;
    }
    // The state reverted from is kept first, so that it survives even the undo history.
    keepVersion(data(), DocumentVersions::Kind::BeforeRevert);
    if (!replaceBy(bytes, tr("revert"), error))
        return false;
    // Written at once, as the file it names is what the user asked for.
    autosave();
    return true;
}

// --- Another program's save --------------------------------------------------------------

void DocumentFile::checkDisk()
{
    m_watcher->checkNow();
}

void DocumentFile::changedOnDisk(const QByteArray &bytes)
{
    m_fileGone = false;
    m_undo->endGrouping();
    if (!isModified() && !m_conflict) {
        // Nothing unsaved here: their save is taken as it is, and undo brings this back.
        const QByteArray mine = data();
        QString error;
        if (!replaceBy(bytes, tr("reload"), &error)) {
            // Maybe caught half-written; a complete save is told again.
            emit message(tr("“%1” was changed by another program but cannot be read: %2").arg(displayName(), error));
            return;
        }
        keepVersion(mine, DocumentVersions::Kind::BeforeReload);
        keepVersion(bytes, DocumentVersions::Kind::OtherProgram);
        m_undo->stack()->setClean();
        m_changedWithoutUndo = false;
        m_autosaveTimer.stop();
        m_savedBytes = bytes;
        m_watcher->setKnownBytes(bytes);
        emit message(tr("Reloaded “%1”, saved by another program (Undo brings your version back).").arg(displayName()));
        emit reloaded();
        emit stateChanged();
        return;
    }
    const bool told = m_conflict;
    m_conflict = true;
    m_autosaveTimer.stop();
    keepRecoveryCopy();
    if (!told)
        emit conflict();
}

bool DocumentFile::resolveConflict(Resolution resolution, QString *error)
{
    if (!m_conflict)
        return true;
    // Their latest save, whatever came after the question was asked.
    const QByteArray theirs = fileBytes();
    const QByteArray mine = data();
    if (resolution == Resolution::TakeTheirs) {
        if (!replaceBy(theirs, tr("reload"), error))
            return false;
        m_conflict = false;
        keepVersion(mine, DocumentVersions::Kind::BeforeReload);
        keepVersion(theirs, DocumentVersions::Kind::OtherProgram);
        m_undo->stack()->setClean();
        m_changedWithoutUndo = false;
        m_savedBytes = theirs;
        m_watcher->setKnownBytes(theirs);
        discardRecovery();
        emit stateChanged();
        return true;
    }
    m_conflict = false;
    keepVersion(theirs, DocumentVersions::Kind::OtherProgram);
    // Theirs is kept: the file may now be written over knowingly.
    m_watcher->setKnownBytes(theirs);
    m_changedWithoutUndo = true;
    return autosave(error);
}

void DocumentFile::fileGone()
{
    if (m_fileGone)
        return;
    m_fileGone = true;
    m_autosaveTimer.stop();
    // The work stays safe meanwhile, in the recovery folder rather than at the old path.
    if (isModified())
        keepRecoveryCopy();
    emit message(tr("“%1” was moved or deleted; changes are no longer saved there.").arg(displayName()));
    emit stateChanged();
    emit gone();
}

} // namespace lumora
