#include "Application.h"
#include "DocumentWindow.h"

#include "Document.h"

#include "patterns/framework/ColorPattern.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

namespace lumora {

namespace {
Application *theApplication = nullptr;
const int maxRecentFiles = 10;
} // namespace

Application::Application(QObject *parent)
    : QObject(parent), m_patternGroup(new QActionGroup(this))
{
    theApplication = this;
    ColorPattern::addInstances();
    const auto patterns = ColorPattern::patterns();
    if (!patterns.empty())
        patterns.front()->sortNames();

    // ExclusiveOptional: a stored index out of range leaves no entry checked.
    m_patternGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    int index = 0;
    for (const ColorPattern *pattern : ColorPattern::patterns()) {
        QAction *action = m_patternGroup->addAction(QString::fromStdString(pattern->name()));
        action->setCheckable(true);
        action->setData(index);
        connect(action, &QAction::triggered, this, [this, index] { setStatus(index); });
        ++index;
    }
    setStatus(QSettings().value("status", 0).toInt());
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
    const auto patterns = ColorPattern::patterns();
    if (index >= 0 && std::size_t(index) < patterns.size())
        patterns[index]->setup();
    for (QAction *action : m_patternGroup->actions())
        action->setChecked(action->data().toInt() == index);
    QSettings().setValue("status", index);
    emit statusChanged(index);
}

const ColorPattern *Application::pattern() const
{
    const auto patterns = ColorPattern::patterns();
    if (m_status < 0 || std::size_t(m_status) >= patterns.size())
        return nullptr;
    return patterns[m_status];
}

void Application::addViewMenuItems(QMenu *viewMenu) const
{
    viewMenu->addSeparator();
    viewMenu->addActions(m_patternGroup->actions());
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

Document *Application::openDocument(const QString &fileName)
{
    if (Document *open = documentFor(fileName)) {
        open->showWindow();
        return open;
    }
    QString error;
    auto *document = Document::open(fileName, &error);
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
    return document;
}

void Application::showOpenDialog(QWidget *parent)
{
    // Start where the user works: the frontmost layout's folder, else the documents folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    for (Document *document : std::as_const(m_documents))
        if (document->window() && document->window()->isActiveWindow() && !document->fileName().isEmpty())
            folder = QFileInfo(document->fileName()).absolutePath();
    const QStringList files = QFileDialog::getOpenFileNames(parent, tr("Open Layout"), folder,
                                                            tr("Lumora layouts (*.lumora);;All files (*)"));
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
    const QStringList files = Document::recoveryFiles();
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
            QFile::remove(file);
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
