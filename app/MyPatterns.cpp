#include "MyPatterns.h"

#include "Application.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace lumora {

MyPatterns::MyPatterns(Application *application, const QString &folder)
    : QObject(application), m_application(application),
      m_library(folder.isEmpty() ? UserPatternLibrary::defaultFolder() : folder), m_group(new QActionGroup(this))
{
    m_group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    refresh();
    connect(application, &Application::statusChanged, this, [this] {
        if (!m_choosing)
            clearChoice();
    });
    const QString remembered = QSettings().value(settingKey).toString();
    if (!remembered.isEmpty() && QFileInfo::exists(remembered))
        choose(remembered);
}

void MyPatterns::refresh()
{
    for (QAction *action : m_group->actions())
        delete action; // leaves every menu showing it
    for (const QString &file : m_library.files()) {
        QAction *action = m_group->addAction(QFileInfo(file).completeBaseName());
        action->setCheckable(true);
        action->setData(file);
        action->setToolTip(file);
        connect(action, &QAction::triggered, this, [this, file] {
            QStringList errors;
            if (!choose(file, &errors))
                emit problem(tr("“%1” cannot be shown: %2").arg(QFileInfo(file).completeBaseName(), errors.join('\n')));
        });
    }
    checkCurrent();
    emit listChanged();
}

bool MyPatterns::choose(const QString &fileName, QStringList *errors)
{
    QStringList problems;
    std::optional<UserPattern> pattern = UserPattern::load(QFileInfo(fileName).absoluteFilePath(), problems);
    if (errors)
        *errors = problems;
    if (!pattern) {
        checkCurrent();
        return false;
    }
    m_current = std::move(pattern);
    m_currentFile = m_current->fileName();
    QSettings().setValue(settingKey, m_currentFile);
    // The built-in entries show no choice; "status" keeps its index for when one is chosen.
    m_choosing = true;
    for (QAction *action : m_application->patternActions())
        action->setChecked(false);
    m_choosing = false;
    checkCurrent();
    emit currentChanged();
    return true;
}

void MyPatterns::reloadIfCurrent(const QString &fileName)
{
    if (!m_currentFile.isEmpty() && QFileInfo(fileName).absoluteFilePath() == m_currentFile)
        choose(m_currentFile);
}

void MyPatterns::clearChoice()
{
    if (m_currentFile.isEmpty())
        return;
    m_currentFile.clear();
    m_current.reset();
    QSettings().remove(settingKey);
    checkCurrent();
    emit currentChanged();
}

void MyPatterns::checkCurrent()
{
    for (QAction *action : m_group->actions())
        action->setChecked(!m_currentFile.isEmpty() && action->data().toString() == m_currentFile);
}

void MyPatterns::addMenuItems(QMenu *viewMenu)
{
    // A plain disabled entry: not every style shows a section's title.
    viewMenu->addSeparator();
    viewMenu->addAction(tr("My Patterns"))->setEnabled(false);
    QAction *none = viewMenu->addAction(tr("(none yet: File ▸ New Pattern)"));
    none->setEnabled(false);
    auto fill = [this, viewMenu, none] {
        // The entries are the menu's last items; refresh() deleted the old ones.
        viewMenu->addActions(m_group->actions());
        none->setVisible(m_group->actions().isEmpty());
    };
    fill();
    connect(this, &MyPatterns::listChanged, viewMenu, fill);
}

} // namespace lumora
