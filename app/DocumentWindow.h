#pragma once

#include "document/LedGenerators.h"

#include <QMainWindow>

class QActionGroup;
class QLabel;
class QMenu;
class QTabWidget;
class QToolButton;

namespace lumora {

class AnimationEditorView;
class Document;
class FramePlayer;
class LiveOutput;
class PatternEditorDock;
class ImageBrowserController;
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
    ImageBrowserController *imageBrowserController() const { return m_strip; }
    AnimationEditorView *animationEditorView() const { return m_timeline; }
    /// Whether the animation tab (identifier "2") is the one showing: it decides the export.
    bool isAnimationTabShown() const;
    void showAnimationTab(bool animation);
    /// Selects a picture of the strip, which makes it the background.
    void selectPicture(qsizetype index);
    void showStatus(const QString &message);
    /// Tells problems without stopping the work: the first in the status bar, all of them
    /// in a list that is not modal. Problems of one kind (`title`) gather in one list while
    /// it is open, each told once.
    void reportProblems(const QString &title, const QString &text, const QStringList &problems);
    /// Tells the user what an export wrote and what it could not; after an export into a
    /// folder, the status bar names it and offers to open it.
    void showExportReport(const ExportReport &report, const QString &folder = {});
    /// The toolbar action of a mode or tool, by its identifier ("Edit Nodes", "Select", …).
    QAction *toolbarAction(const QString &identifier) const;
    /// Send to LEDs and the output settings of this window's document.
    LiveOutput *liveOutput() const { return m_live; }
    /// Frame ▸ Play.
    FramePlayer *framePlayer() const { return m_player; }
    /// The Pattern Editor beside the layout.
    PatternEditorDock *patternEditor() const { return m_patternEditor; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    /// Layout ▸ Add LEDs and the wiring tools.
    void addWiringMenuItems(QMenu *layout);
    void buildToolbar();
    /// Zoom, LED numbers and disc size in the View menu.
    void buildZoomAndWiringItems(QMenu *viewMenu);
    /// Frame ▸ Play, the Output menu and the live output's status bar indicator.
    void buildLiveOutput(QMenu *frameMenu);
    void editOutputSettings();
    /// File ▸ Export Code for a Microcontroller…
    void exportCode();
    void updateTitle();
    void fillRecentMenu();
    QAction *addAction(QMenu *menu, const QString &text, const QKeySequence &shortcut,
                       const std::function<void()> &slot);

    Document *m_document;
    View *m_view;
    ImageBrowserController *m_strip;
    AnimationEditorView *m_timeline;
    QTabWidget *m_tabs;
    QLabel *m_countLabel;
    QToolButton *m_openExportFolder;
    QActionGroup *m_modes;
    QAction *m_rotateAction = nullptr;
    QAction *m_scaleAction = nullptr;
    QMenu *m_recentMenu = nullptr;
    /// The count or spacing of the last strip drawn, for the next.
    StripPlacement m_stripPlacement;
    LiveOutput *m_live = nullptr;
    FramePlayer *m_player = nullptr;
    PatternEditorDock *m_patternEditor = nullptr;
};

/// Where the help page lives: installed beside the program, or in the source tree.
QString helpPage();

} // namespace lumora
