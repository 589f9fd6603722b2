#pragma once

#include "patterns/framework/PatternRegistry.h"

#include <QActionGroup>
#include <QList>
#include <QObject>
#include <QStringList>

class QMenu;

namespace lumora {

class Document;
class MyPatterns;

/// The application-wide state of the editor: the pattern registry with its one current
/// pattern (kept in the setting "status"), the pattern entries of every window's View menu,
/// the open documents and the recent files.
class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(QObject *parent = nullptr);
    ~Application() override;

    static Application *instance();

    /// Index of the current pattern in the sorted registry.
    int status() const { return m_status; }
    void setStatus(int index);
    /// The current pattern, or nullptr when the stored index names none.
    const ColorPattern *pattern() const;
    /// Every built-in pattern, sorted by name, for the application's whole run.
    const PatternRegistry &patterns() const { return m_patterns; }
    /// One checkable entry per pattern in name order, shared by every window's View menu.
    QList<QAction *> patternActions() const { return m_patternGroup->actions(); }
    /// Appends a separator and the pattern entries to a View menu, then "My Patterns".
    void addViewMenuItems(QMenu *viewMenu) const;
    /// The patterns the user wrote.
    MyPatterns *myPatterns() const { return m_myPatterns; }

    // Documents.
    Document *newDocument();
    /// Opens a file in its own window; an unreadable file is refused with a message.
    Document *openDocument(const QString &fileName);
    /// A new layout with the picture as its backdrop (in the strip, shown behind the LEDs);
    /// an empty untitled window showing nothing yet is used instead of a new one.
    Document *newLayoutWithPicture(const QString &pictureFile);
    /// Whether the file is a picture Qt reads rather than a layout (judged by content).
    static bool isPictureFile(const QString &fileName);
    /// Opens the document already showing this file, if any.
    Document *documentFor(const QString &fileName) const;
    const QList<Document *> &documents() const { return m_documents; }
    void showOpenDialog(QWidget *parent);
    /// Offers back untitled work that was autosaved before a crash.
    void offerRecovery();

    /// The recently used layouts that still exist, newest first.
    QStringList recentFiles() const;
    void forgetRecentFile(const QString &fileName);
    void addRecentFile(const QString &fileName);

signals:
    void statusChanged(int index);
    void recentFilesChanged();

private:
    void adopt(Document *document);
    /// Offers the newer work an interrupted save left beside the document.
    void offerLeftover(Document *document);
    /// Tells once which pictures of a document just opened are not where it says.
    void reportMissingPictures(Document *document);

    PatternRegistry m_patterns;
    QActionGroup *m_patternGroup;
    int m_status = 0;
    MyPatterns *m_myPatterns = nullptr;
    QList<Document *> m_documents;
};

} // namespace lumora
