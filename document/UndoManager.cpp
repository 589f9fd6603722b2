#include "UndoManager.h"

#include <QTimer>
#include <QUndoCommand>

namespace lumora {

/// One undo step: the inverse operations recorded during one user event, and the
/// operations an undo of it recorded in turn (its redo).
class RecordedStep : public QUndoCommand {
public:
    explicit RecordedStep(UndoManager &manager) : m_manager(manager) {}

    std::vector<std::function<void()>> undoOperations;
    std::vector<std::function<void()>> redoOperations;
    bool pushed = false;

    void undo() override { replay(undoOperations, redoOperations); }
    void redo() override
    {
        // QUndoStack::push runs redo() at once; the change itself has already happened.
        if (!pushed) {
            pushed = true;
            return;
        }
        replay(redoOperations, undoOperations);
    }

private:
    /// Runs the operations latest first; what they register becomes the opposite list.
    void replay(std::vector<std::function<void()>> &run, std::vector<std::function<void()>> &record)
    {
        std::vector<std::function<void()>> operations;
        operations.swap(run);
        record.clear();
        m_manager.m_replaying = this;
        m_recording = &record;
        for (auto it = operations.rbegin(); it != operations.rend(); ++it)
            (*it)();
        m_manager.m_replaying = nullptr;
        m_recording = nullptr;
    }

public:
    std::vector<std::function<void()>> *m_recording = nullptr;

private:
    UndoManager &m_manager;
};

UndoManager::UndoManager(QObject *parent)
    : QObject(parent)
{
}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(std::function<void()> inverse)
{
    if (m_disabled > 0)
        return;
    if (m_replaying) {
        m_replaying->m_recording->push_back(std::move(inverse));
        return;
    }
    if (!m_open)
        m_open = std::make_unique<RecordedStep>(*this);
    m_open->undoOperations.push_back(std::move(inverse));
    if (!m_closeScheduled) {
        m_closeScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_closeScheduled = false;
            if (m_groupDepth == 0)
                endGrouping();
        });
    }
}

void UndoManager::setActionName(const QString &name)
{
    if (m_replaying || m_disabled > 0)
        return;
    if (m_open)
        m_open->setText(name);
}

void UndoManager::endGrouping()
{
    m_closeScheduled = false;
    if (!m_open)
        return;
    m_stack.push(m_open.release());
}

void UndoManager::endUndoGrouping()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        endGrouping();
}

void UndoManager::undo()
{
    endGrouping();
    m_stack.undo();
}

void UndoManager::redo()
{
    endGrouping();
    m_stack.redo();
}

} // namespace lumora
