#include "Application.h"
#include "DocumentWindow.h"

#include "Document.h"
#include "MyPatterns.h"

#include "document/DocumentLock.h"
#include "exports/ExportSettings.h"
#include "document/DocumentModel.h"
#include "document/Leftovers.h"
#include "editor/View.h"
#include "patterns/catalogue/Catalogue.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace lumora {

namespace {
Application *theApplication = nullptr;
const int maxRecentFiles = 10;
} // namespace

Application::Application(QObject *parent)
    : QObject(parent), m_patterns(builtInPatterns()), m_patternGroup(new QActionGroup(this))
{
    theApplication = this;

    // ExclusiveOptional: a stored index out of range leaves no entry checked.
    m_patternGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    int index = 0;
    for (const ColorPattern *pattern : m_patterns.patterns()) {
        QAction *action = m_patternGroup->addAction(QString::fromStdString(pattern->name()));
        action->setCheckable(true);
        action->setData(index);
        connect(action, &QAction::triggered, this, [this, index] { setStatus(index); });
        ++index;
    }
    setStatus(QSettings().value("status", 0).toInt());
    m_myPatterns = new MyPatterns(this);
}

Application::~Application()
{
    theApplication = nullptr;
}

Application *Application::instance()
{
    return theApplication;
}

void Application::setStatus(int index)
{
    m_status = index;
    if (index >= 0)
        if (ColorPattern *chosen = m_patterns.at(std::size_t(index)))
            chosen->setup();
    for (QAction *action : m_patternGroup->actions())
        action->setChecked(action->data().toInt() == index);
    QSettings().setValue("status", index);
    // By name as well, for `lumora-cli export` without --pattern.
    if (const ColorPattern *current = pattern())
        QSettings().setValue(currentPatternKey, QString::fromStdString(current->name()));
    emit statusChanged(index);
}

const ColorPattern *Application::pattern() const
{
    return m_status < 0 ? nullptr : m_patterns.at(std::size_t(m_status));
}

void Application::addViewMenuItems(QMenu *viewMenu) const
{
    viewMenu->addSeparator();
    viewMenu->addActions(m_patternGroup->actions());
    m_myPatterns->addMenuItems(viewMenu);
}

Document *Application::newDocument()
{
    auto *document = new Document();
    adopt(document);
    document->showWindow();
    return document;
}

Document *Application::documentFor(const QString &fileName) const
{
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    for (Document *document : m_documents)
        if (!document->fileName().isEmpty() && QFileInfo(document->fileName()).canonicalFilePath() == canonical)
            return document;
    return nullptr;
}

bool Application::isPictureFile(const QString &fileName)
{
    if (fileName.endsWith(".lumora", Qt::CaseInsensitive))
        return false;
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    return reader.canRead();
}

Document *Application::newLayoutWithPicture(const QString &pictureFile)
{
    Document *document = nullptr;
    for (Document *open : std::as_const(m_documents))
        if (open->fileName().isEmpty() && !open->isModified() && open->model()->ledCount() == 0
            && open->model()->images().isEmpty())
            document = open;
    if (!document)
        document = newDocument();
    const QUrl url = QUrl::fromLocalFile(QFileInfo(pictureFile).absoluteFilePath());
    if (document->view()->model()->setBackgroundFile(url))
        document->model()->appendImage(url);
    document->showWindow();
    return document;
}

Document *Application::openDocument(const QString &fileName)
{
    // A picture is not a layout, but it is how most layouts start.
    if (isPictureFile(fileName)) {
        QMessageBox box(QMessageBox::Question, tr("Open Picture"),
                        tr("“%1” is a picture, not a layout.").arg(QFileInfo(fileName).fileName()),
                        QMessageBox::Cancel);
        box.setInformativeText(tr("Start a new layout with this picture as the backdrop?"));
        QAbstractButton *start = box.addButton(tr("New Layout"), QMessageBox::AcceptRole);
        box.setDefaultButton(qobject_cast<QPushButton *>(start));
        box.exec();
        return box.clickedButton() == start ? newLayoutWithPicture(fileName) : nullptr;
    }
    if (Document *open = documentFor(fileName)) {
        open->showWindow();
        return open;
    }
    // One writer per file: another live process has it open.
    bool readOnly = false;
    if (QFileInfo(fileName).isFile() && DocumentLock::isHeldElsewhere(fileName)) {
        QMessageBox box(QMessageBox::Warning, tr("Document In Use"),
                        tr("“%1” is open in another Lumora.").arg(QFileInfo(fileName).fileName()),
                        QMessageBox::Open | QMessageBox::Cancel);
        box.setInformativeText(tr("Open it read-only? Its changes can then only be saved to another file."));
        box.button(QMessageBox::Open)->setText(tr("Open Read-Only"));
        if (box.exec() != QMessageBox::Open)
            return nullptr;
        readOnly = true;
    }
    QString error;
    auto *document = Document::open(fileName, &error, readOnly);
    if (!document) {
        QMessageBox::warning(nullptr, tr("Cannot Open Document"),
                             tr("The document “%1” could not be opened: %2.").arg(QFileInfo(fileName).fileName(), error),
                             QMessageBox::Ok);
        forgetRecentFile(fileName);
        return nullptr;
    }
    adopt(document);
    addRecentFile(fileName);
    document->showWindow();
    if (!readOnly)
        offerLeftover(document);
    reportMissingPictures(document);
    document->window()->reportProblems(
        tr("Problems Reading the Layout"),
        tr("Some lines of “%1” were read with changes:").arg(document->displayName()), document->readerWarnings());
    return document;
}

void Application::offerLeftover(Document *document)
{
    const std::optional<Leftover> leftover = findLeftover(document->fileName());
    if (!leftover)
        return;
    QMessageBox box(QMessageBox::Question, tr("Interrupted Save"),
                    tr("A save of “%1” was interrupted and left newer work beside it (%2).")
                        .arg(document->displayName(), QLocale().toString(leftover->modified, QLocale::ShortFormat)),
                    QMessageBox::Open | QMessageBox::Discard | QMessageBox::Ignore, document->window());
    box.setInformativeText(tr("Recover it as unsaved changes, or remove it?"));
    box.button(QMessageBox::Open)->setText(tr("Recover"));
    box.button(QMessageBox::Discard)->setText(tr("Remove"));
    box.button(QMessageBox::Ignore)->setText(tr("Later"));
    const int answer = box.exec();
    if (answer == QMessageBox::Ignore)
        return;
    QString error;
    if (answer == QMessageBox::Open) {
        QFile file(leftover->fileName);
        if (!file.open(QIODevice::ReadOnly) || !document->adoptUnsavedWork(file.readAll(), &error)) {
            QMessageBox::warning(document->window(), tr("Interrupted Save"),
                                 tr("The interrupted save could not be recovered: %1").arg(error.isEmpty() ? file.errorString() : error));
            return;
        }
    }
    if (!removeLeftover(*leftover, &error))
        QMessageBox::warning(document->window(), tr("Interrupted Save"), error);
}

void Application::reportMissingPictures(Document *document)
{
    const QList<QUrl> missing = document->missingPictures();
    if (missing.isEmpty())
        return;
    QStringList files;
    for (const QUrl &url : missing)
        files.append(document->resolved(url).toLocalFile());
    // Told once, without stopping the work: File ▸ Relink Picture… mends it.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Missing Pictures"),
                                tr("%n picture(s) of “%1” cannot be found:", nullptr, int(files.size())).arg(document->displayName()),
                                QMessageBox::Ok, document->window());
    box->setInformativeText(files.join('\n') + "\n\n" + tr("Use File ▸ Relink Picture… to show where they are now."));
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    document->window()->showStatus(tr("Missing pictures: %1").arg(files.join(", ")));
}

void Application::showOpenDialog(QWidget *parent)
{
    // Start where the user works: the frontmost layout's folder, else the documents folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    for (Document *document : std::as_const(m_documents))
        if (document->window() && document->window()->isActiveWindow() && !document->fileName().isEmpty())
            folder = QFileInfo(document->fileName()).absolutePath();
    const QStringList files = QFileDialog::getOpenFileNames(parent, tr("Open Layout"), folder,
                                                            tr("Lumora layouts (*.lumora);;Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.svg);;All files (*)"));
    for (const QString &file : files)
        openDocument(file);
}

void Application::adopt(Document *document)
{
    m_documents.append(document);
    connect(document, &QObject::destroyed, this, [this, document] { m_documents.removeOne(document); });
}

void Application::offerRecovery()
{
    // Another running instance's work is still open there: only that of processes gone.
    const QStringList files = Document::orphanedRecoveryFiles();
    if (files.isEmpty())
        return;
    const auto answer = QMessageBox::question(
        nullptr, tr("Recover Unsaved Layouts"),
        tr("Lumora found %n untitled layout(s) that were not saved before it last stopped. Open them?", nullptr,
           int(files.size())),
        QMessageBox::Open | QMessageBox::Discard, QMessageBox::Open);
    for (const QString &file : files) {
        if (answer == QMessageBox::Open) {
            if (Document *document = Document::recover(file)) {
                adopt(document);
                document->showWindow();
            }
        } else {
            Document::discardOrphanedRecovery(file);
        }
    }
}

void Application::forgetRecentFile(const QString &fileName)
{
    QStringList files = QSettings().value("recentFiles").toStringList();
    if (files.removeAll(QFileInfo(fileName).absoluteFilePath()) + files.removeAll(fileName) > 0) {
        QSettings().setValue("recentFiles", files);
        emit recentFilesChanged();
    }
}

QStringList Application::recentFiles() const
{
    // Files that have gone since are not offered.
    QStringList files = QSettings().value("recentFiles").toStringList();
    files.erase(std::remove_if(files.begin(), files.end(), [](const QString &file) { return !QFileInfo::exists(file); }),
                files.end());
    return files;
}

void Application::addRecentFile(const QString &fileName)
{
    QStringList files = recentFiles();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > maxRecentFiles)
        files.removeLast();
    QSettings().setValue("recentFiles", files);
    emit recentFilesChanged();
}

} // namespace lumora
