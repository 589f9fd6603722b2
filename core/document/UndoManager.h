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
///
/// The history has a memory budget: each inverse says how many bytes it holds, and when a
/// closed step takes the history past the budget the oldest steps are dropped (never the
/// newest one) and `stepsDropped` says so.
class UndoManager : public QObject {
    Q_OBJECT
public:
    explicit UndoManager(QObject *parent = nullptr);
    ~UndoManager() override;

    QUndoStack *stack() { return &m_stack; }

    /// Records the inverse of a change just made; `bytes` is what the inverse holds beyond
    /// a small closure (the flat arrays of a change to many LEDs).
    void registerUndo(std::function<void()> inverse, qint64 bytes = 0);
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

    static constexpr qint64 defaultMemoryBudget = qint64(256) << 20;
    /// The most the history may hold, in bytes; applied at once.
    void setMemoryBudget(qint64 bytes);
    qint64 memoryBudget() const { return m_budget; }
    /// What the steps of the history hold now, in bytes (an estimate that counts the
    /// recorded arrays exactly and each closure at a fixed cost).
    qint64 memoryUsed() const;
    /// How many of the oldest steps were dropped to stay within the budget so far.
    int droppedSteps() const { return m_dropped; }

signals:
    /// Some of the oldest steps were dropped to keep the history within its budget.
    void stepsDropped(int count, int total);

private:
    friend class RecordedStep;

    /// Drops the oldest steps while the history is over budget, keeping at least the step
    /// at the top of the undo side.
    void enforceBudget();

    QUndoStack m_stack;
    std::unique_ptr<RecordedStep> m_open;
    RecordedStep *m_replaying = nullptr;
    int m_disabled = 0;
    bool m_closeScheduled = false;
    int m_groupDepth = 0;
    qint64 m_budget = defaultMemoryBudget;
    int m_dropped = 0;
};

} // namespace lumora
