#include "PatternEditorDock.h"

#include "Application.h"
#include "MyPatterns.h"

#include "editor/View.h"
#include "editor/pattern/PatternEditorPanel.h"
#include "editor/pattern/UserPatternPreview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>

namespace lumora {

namespace {
MyPatterns *myPatterns()
{
    return Application::instance() ? Application::instance()->myPatterns() : nullptr;
}
} // namespace

PatternEditorDock::PatternEditorDock(QWidget *window, View *view)
    : QDockWidget(tr("Pattern Editor"), window), m_view(view), m_preview(new UserPatternPreview(view)),
      m_panel(new PatternEditorPanel(m_preview, this))
{
    setObjectName("patternEditorDock");
    setWidget(m_panel);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    if (auto *main = qobject_cast<QMainWindow *>(window))
        main->addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    connect(m_panel, &PatternEditorPanel::modifiedChanged, this, &PatternEditorDock::updateTitle);
    connect(m_panel, &PatternEditorPanel::fileNameChanged, this, &PatternEditorDock::updateTitle);
    if (MyPatterns *mine = myPatterns()) {
        m_preview->setPattern(mine->current());
        connect(mine, &MyPatterns::currentChanged, this, [this, mine] {
            // The Pattern Editor's own text stays on this window's layout until another
            // pattern is chosen.
            if (!mine->current() || !m_panel->lastGood() || mine->currentFile() != m_panel->fileName()
                || !isVisible())
                m_preview->setPattern(mine->current());
        });
        connect(mine, &MyPatterns::problem, this, [this](const QString &message) {
            warn(tr("My Patterns"), message);
        });
    }
}

void PatternEditorDock::addFileMenuItems(QMenu *file)
{
    // The usual New, Open and Save shortcuts belong to layouts.
    file->addAction(tr("New Pa&ttern"), this, &PatternEditorDock::newPattern);
    file->addAction(tr("Open Patte&rn…"), this, &PatternEditorDock::openPattern);
    file->addAction(tr("Sa&ve Pattern"), this, &PatternEditorDock::savePattern);
    file->addAction(tr("Save Pattern As…"), this, &PatternEditorDock::savePatternAs);
    file->addAction(tr("Import Pi&xelblaze Pattern…"), this, &PatternEditorDock::importEpe);
}

void PatternEditorDock::updateTitle()
{
    setWindowTitle(tr("Pattern Editor — %1%2").arg(m_panel->patternName(), m_panel->isModified() ? "*" : ""));
}

void PatternEditorDock::warn(const QString &title, const QString &text)
{
    QMessageBox::warning(parentWidget(), title, text);
}

bool PatternEditorDock::maybeDropPattern()
{
    if (!m_panel->isModified() || m_panel->isEmpty())
        return true;
    const auto answer = QMessageBox::question(
        parentWidget(), tr("Pattern Editor"),
        tr("The pattern “%1” has changes that are not saved. Save them?").arg(m_panel->patternName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return savePattern();
    return answer == QMessageBox::Discard;
}

void PatternEditorDock::showInPreview()
{
    if (!isVisible()) {
        show();
        // Wide enough for a line of code beside the layout.
        if (auto *main = qobject_cast<QMainWindow *>(parentWidget()))
            main->resizeDocks({this}, {std::max(width(), 440)}, Qt::Horizontal);
    }
    raise();
    // What is typed shows on the layout at once.
    if (m_view->mode() != "Preview")
        m_view->setMode("Preview");
}

void PatternEditorDock::newPattern()
{
    if (!maybeDropPattern())
        return;
    m_panel->newPattern();
    showInPreview();
    raise();
    m_panel->editor()->setFocus();
}

void PatternEditorDock::openPattern()
{
    if (!maybeDropPattern())
        return;
    const QString folder = myPatterns() ? myPatterns()->library().folder() : QString();
    QDir().mkpath(folder);
    const QString fileName = QFileDialog::getOpenFileName(parentWidget(), tr("Open Pattern"), folder,
                                                          tr("Patterns (*.js);;All files (*)"));
    if (!fileName.isEmpty())
        openPatternFile(fileName);
}

bool PatternEditorDock::openPatternFile(const QString &fileName)
{
    QString error;
    if (!m_panel->open(fileName, &error)) {
        warn(tr("Open Pattern"), tr("“%1” cannot be opened: %2").arg(QFileInfo(fileName).fileName(), error));
        return false;
    }
    showInPreview();
    return true;
}

bool PatternEditorDock::savePattern()
{
    if (m_panel->fileName().isEmpty())
        return savePatternAs();
    return savePatternTo(m_panel->fileName());
}

bool PatternEditorDock::savePatternAs()
{
    MyPatterns *mine = myPatterns();
    const QString folder = mine ? mine->library().folder() : QDir::homePath();
    bool ok = false;
    const QString name = QInputDialog::getText(parentWidget(), tr("Save Pattern"),
                                               tr("Name of the pattern in My Patterns:"), QLineEdit::Normal,
                                               m_panel->fileName().isEmpty() ? QString() : m_panel->patternName(), &ok)
                             .trimmed();
    if (!ok || name.isEmpty())
        return false;
    const QString target = UserPatternLibrary(folder).fileFor(name);
    // Saving under a name in use replaces that pattern, when the user says so.
    if (QFileInfo::exists(target) && target != m_panel->fileName()
        && QMessageBox::question(parentWidget(), tr("Save Pattern"),
                                 tr("A pattern “%1” exists. Replace it?").arg(QFileInfo(target).completeBaseName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return false;
    return savePatternTo(target);
}

bool PatternEditorDock::savePatternTo(const QString &fileName)
{
    QString error;
    if (!m_panel->saveAs(fileName, &error)) {
        warn(tr("Save Pattern"), tr("The pattern was not saved (%1); its text is still here.").arg(error));
        return false;
    }
    if (MyPatterns *mine = myPatterns()) {
        mine->refresh();
        // What was just written becomes the chosen pattern (unless it does not compile yet).
        mine->choose(m_panel->fileName());
    }
    return true;
}

void PatternEditorDock::importEpe()
{
    const QString fileName = QFileDialog::getOpenFileName(parentWidget(), tr("Import Pixelblaze Pattern"),
                                                          QDir::homePath(), tr("Pixelblaze patterns (*.epe)"));
    if (!fileName.isEmpty())
        importEpeFile(fileName);
}

bool PatternEditorDock::importEpeFile(const QString &fileName)
{
    MyPatterns *mine = myPatterns();
    if (!mine)
        return false;
    QString error;
    const std::optional<QString> imported = mine->library().importEpe(fileName, &error);
    if (!imported) {
        warn(tr("Import Pixelblaze Pattern"), tr("Nothing was imported: %1").arg(error));
        return false;
    }
    mine->refresh();
    if (!maybeDropPattern()) {
        m_view->statusMessage(tr("Imported into My Patterns as “%1”.").arg(QFileInfo(*imported).completeBaseName()));
        return true;
    }
    openPatternFile(*imported);
    mine->choose(*imported);
    return true;
}

} // namespace lumora
