#pragma once

#include "colors/UserPattern.h"
#include "colors/UserPatternLibrary.h"

#include <QActionGroup>
#include <QObject>

#include <optional>

class QMenu;

namespace lumora {

class Application;

/// "My Patterns": the patterns in the user's library, listed after the built-in ones in every
/// window's View menu and pattern panel. Choosing one previews it in every window as a
/// built-in pattern is previewed; the choice is remembered by its file in the setting
/// "userPattern", so the built-ins' "status" indices stay as they are. Choosing a built-in
/// pattern ends it.
class MyPatterns : public QObject {
    Q_OBJECT
public:
    static constexpr const char *settingKey = "userPattern";

    /// The library in `folder` (the user's own when empty).
    explicit MyPatterns(Application *application, const QString &folder = {});

    const UserPatternLibrary &library() const { return m_library; }
    /// One checkable entry per pattern file, by name.
    QList<QAction *> actions() const { return m_group->actions(); }
    /// Lists the folder again (after a pattern was saved or imported).
    void refresh();

    /// The chosen pattern's file; empty while a built-in pattern is chosen.
    QString currentFile() const { return m_currentFile; }
    const std::optional<UserPattern> &current() const { return m_current; }
    /// Chooses the pattern in this file; false with the errors when it does not compile (the
    /// choice then stays as it was).
    bool choose(const QString &fileName, QStringList *errors = nullptr);
    /// Reads the chosen file again, when it is this one (it was just saved).
    void reloadIfCurrent(const QString &fileName);

    /// The section header and the entries, kept up to date as the library changes.
    void addMenuItems(QMenu *viewMenu);

signals:
    void listChanged();
    /// Another pattern of the library was chosen, or none (a built-in one was).
    void currentChanged();
    /// A chosen pattern could not be used: the message says why.
    void problem(const QString &message);

private:
    void clearChoice();
    void checkCurrent();

    Application *m_application;
    UserPatternLibrary m_library;
    QActionGroup *m_group;
    QString m_currentFile;
    std::optional<UserPattern> m_current;
    bool m_choosing = false;
};

} // namespace lumora
