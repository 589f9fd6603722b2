#pragma once

#include <QDockWidget>

class QMenu;

namespace lumora {

class PatternEditorPanel;
class UserPatternPreview;
class View;

/// The Pattern Editor of a window, docked beside the layout, and the File menu's pattern
/// commands: New Pattern, Open Pattern…, Save Pattern, Save Pattern As… and Import
/// Pixelblaze Pattern…. Saved patterns go to the user's library and become the chosen one.
class PatternEditorDock : public QDockWidget {
    Q_OBJECT
public:
    PatternEditorDock(QWidget *window, View *view);

    PatternEditorPanel *panel() const { return m_panel; }
    UserPatternPreview *preview() const { return m_preview; }
    void addFileMenuItems(QMenu *file);

    void newPattern();
    /// Asks for a file (in the library unless told otherwise) and opens it.
    void openPattern();
    bool openPatternFile(const QString &fileName);
    /// Saves to the pattern's file; an untitled one asks for a name in the library.
    bool savePattern();
    bool savePatternAs();
    /// Writes to this file, lists it under My Patterns and chooses it. A failure is told and
    /// the text stays as it is.
    bool savePatternTo(const QString &fileName);
    void importEpe();
    bool importEpeFile(const QString &fileName);
    /// Before the text goes: asks whether to save a changed pattern. False to keep it.
    bool maybeDropPattern();

private:
    void updateTitle();
    void showInPreview();
    void warn(const QString &title, const QString &text);

    View *m_view;
    UserPatternPreview *m_preview;
    PatternEditorPanel *m_panel;
};

} // namespace lumora
