#include "UndoManager.h"

#include <QSignalBlocker>
#include <QTimer>
#include <QUndoCommand>

namespace lumora {

namespace {

/// What a closure of a few captured pointers and values costs, beyond its arrays.
constexpr qint64 closureBytes = 96;

struct Operation {
    std::function<void()> run;
    qint64 bytes = 0;
};

using Operations = std::vector<Operation>;

qint64 sizeOf(const Operations &operations)
{
    qint64 total = 0;
    for (const Operation &operation : operations)
        total += operation.bytes;
    return total;
}

} // namespace

/// One undo step: the inverse operations recorded during one user event, and the
/// operations an undo of it recorded in turn (its redo).
class RecordedStep : public QUndoCommand {
public:
    explicit RecordedStep(UndoManager &manager) : m_manager(manager) {}

    Operations undoOperations;
    Operations redoOperations;
    bool pushed = false;
    /// While the history is rebuilt, moving the stack's index runs nothing.
    bool silent = false;

    qint64 bytes() const { return sizeOf(undoOperations) + sizeOf(redoOperations); }

    void undo() override
    {
        if (!silent)
            replay(undoOperations, redoOperations);
    }
    void redo() override
    {
        // QUndoStack::push runs redo() at once; the change itself has already happened.
        if (!pushed) {
            pushed = true;
            return;
        }
        if (!silent)
            replay(redoOperations, undoOperations);
    }

    void record(Operation operation) { m_recording->push_back(std::move(operation)); }

private:
    /// Runs the operations latest first; what they register becomes the opposite list.
    void replay(Operations &run, Operations &record)
    {
        Operations operations;
        operations.swap(run);
        record.clear();
        m_manager.m_replaying = this;
        m_recording = &record;
        for (auto it = operations.rbegin(); it != operations.rend(); ++it) {
            it->run();
            // Each inverse is freed as soon as it ran, so an undo never holds both
            // directions of a large step at once.
            it->run = nullptr;
        }
        m_manager.m_replaying = nullptr;
        m_recording = nullptr;
    }

    Operations *m_recording = nullptr;
    UndoManager &m_manager;
};

UndoManager::UndoManager(QObject *parent)
    : QObject(parent)
{
}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(std::function<void()> inverse, qint64 bytes)
{
    if (m_disabled > 0)
        return;
    Operation operation{std::move(inverse), closureBytes + bytes};
    if (m_replaying) {
        m_replaying->record(std::move(operation));
        return;
    }
    if (!m_open)
        m_open = std::make_unique<RecordedStep>(*this);
    m_open->undoOperations.push_back(std::move(operation));
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
    enforceBudget();
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
    // A redo can hold more than its undo did.
    enforceBudget();
}

void UndoManager::setMemoryBudget(qint64 bytes)
{
    m_budget = std::max<qint64>(0, bytes);
    enforceBudget();
}

qint64 UndoManager::memoryUsed() const
{
    qint64 total = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        total += static_cast<const RecordedStep *>(m_stack.command(i))->bytes();
    return total;
}

void UndoManager::enforceBudget()
{
    const int count = m_stack.count();
    const int index = m_stack.index();
    if (count == 0 || m_replaying)
        return;
    qint64 total = memoryUsed();
    // The steps above the index (redo) go first only when the undo side alone fits; the
    // oldest undo steps go first otherwise, and the newest undo step always stays.
    int drop = 0;
    while (total > m_budget && drop < index - 1) {
        total -= static_cast<const RecordedStep *>(m_stack.command(drop))->bytes();
        ++drop;
    }
    if (drop == 0)
        return;

    // QUndoStack cannot drop its oldest commands once it holds any, so the history is
    // rebuilt without them: the kept steps move into new commands, pushed in order and then
    // moved back to the same index and clean state without running anything.
    const int clean = m_stack.cleanIndex();
    std::vector<std::unique_ptr<RecordedStep>> kept;
    for (int i = drop; i < count; ++i) {
        const auto *old = static_cast<const RecordedStep *>(m_stack.command(i));
        auto step = std::make_unique<RecordedStep>(*this);
        auto *source = const_cast<RecordedStep *>(old);
        step->undoOperations = std::move(source->undoOperations);
        step->redoOperations = std::move(source->redoOperations);
        step->setText(old->text());
        kept.push_back(std::move(step));
    }
    {
        const QSignalBlocker blocker(&m_stack);
        m_stack.clear();
        for (auto &step : kept) {
            step->silent = true;
            m_stack.push(step.release());
        }
        auto moveTo = [this](int target) { m_stack.setIndex(target); };
        if (clean - drop >= 0) {
            moveTo(clean - drop);
            m_stack.setClean();
        } else {
            m_stack.resetClean();
        }
        moveTo(index - drop);
        for (int i = 0; i < m_stack.count(); ++i)
            const_cast<RecordedStep *>(static_cast<const RecordedStep *>(m_stack.command(i)))->silent = false;
    }
    m_dropped += drop;
    emit m_stack.indexChanged(m_stack.index());
    emit m_stack.cleanChanged(m_stack.isClean());
    emit m_stack.canUndoChanged(m_stack.canUndo());
    emit m_stack.canRedoChanged(m_stack.canRedo());
    emit m_stack.undoTextChanged(m_stack.undoText());
    emit m_stack.redoTextChanged(m_stack.redoText());
    emit stepsDropped(drop, m_dropped);
}

} // namespace lumora
