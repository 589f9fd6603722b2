#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

namespace lumora {

class RecordedStep;

/// The document's undo manager. Edits register their inverse operation as they happen;
/// everything registered during one user event becomes one undo step (closed when control
/// returns to the event loop). Running an undo records the redo the same way. An operation
/// names the step unless it is itself running as an undo or redo. Built on QUndoStack, which
/// supplies the Edit menu's texts, the history and the clean state.
class UndoManager : public QObject {
    Q_OBJECT
public:
    explicit UndoManager(QObject *parent = nullptr);
    ~UndoManager() override;

    QUndoStack *stack() { return &m_stack; }

    /// Records the inverse of a change just made.
    void registerUndo(std::function<void()> inverse);
    /// Names the current step, unless an undo or redo is running.
    void setActionName(const QString &name);
    /// Whether an undo or redo is running right now.
    bool isUndoing() const { return m_replaying != nullptr; }

    /// Loading turns registration off so that opening leaves nothing to undo.
    void disableUndoRegistration() { ++m_disabled; }
    void enableUndoRegistration() { --m_disabled; }
    bool isUndoRegistrationEnabled() const { return m_disabled == 0; }

    /// Closes the open step now instead of at the end of the event.
    void endGrouping();
    /// Keeps one step open across events until the matching end: a whole drag, press to
    /// release, is one step however many events it takes. Groups nest.
    void beginUndoGrouping() { ++m_groupDepth; }
    void endUndoGrouping();

    bool canUndo() const { return m_stack.canUndo(); }
    QString undoActionName() const { return m_stack.undoText(); }
    QString redoActionName() const { return m_stack.redoText(); }
    void undo();
    void redo();

private:
    friend class RecordedStep;

    QUndoStack m_stack;
    std::unique_ptr<RecordedStep> m_open;
    RecordedStep *m_replaying = nullptr;
    int m_disabled = 0;
    bool m_closeScheduled = false;
    int m_groupDepth = 0;
};

} // namespace lumora
