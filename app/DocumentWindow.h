#pragma once

#include <QMainWindow>

class QActionGroup;
class QLabel;
class QMenu;

namespace lumora {

class Document;
class View;
struct ExportReport;

/// The window of one document: the layout editor with its toolbar (the five modes, snap,
/// mirror, rotate, scale), the File, Edit, View, Layout, Frame and Help menus, and the LED
/// count in the status bar. It forwards modifier keys and activation to the editor.
class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(Document *document);

    View *view() const { return m_view; }
    /// Whether the animation tab is the one showing (decides the export).
    bool isAnimationTabShown() const { return false; }
    void showStatus(const QString &message);
    /// Tells the user what an export wrote and what it could not.
    void showExportReport(const ExportReport &report);
    /// The toolbar action of a mode or tool, by its identifier ("Edit Nodes", "Select", …).
    QAction *toolbarAction(const QString &identifier) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void updateTitle();
    void fillRecentMenu();
    QAction *addAction(QMenu *menu, const QString &text, const QKeySequence &shortcut,
                       const std::function<void()> &slot);

    Document *m_document;
    View *m_view;
    QLabel *m_countLabel;
    QActionGroup *m_modes;
    QAction *m_rotateAction = nullptr;
    QAction *m_scaleAction = nullptr;
    QMenu *m_recentMenu = nullptr;
};

/// Where the help page lives: installed beside the program, or in the source tree.
QString helpPage();

} // namespace lumora
