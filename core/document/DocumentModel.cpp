#include "DocumentModel.h"

#include "common/ColorBytes.h"
#include "UndoManager.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace lumora {

DocumentModel::DocumentModel(QObject *parent)
    : QObject(parent)
    , m_undo(new UndoManager(this))
    , m_pictures(PictureCache::create())
    , m_animation(std::make_shared<AnimationEditor>())
{
    m_pictures->setWatching(true);
    // Ready comes for the first decode and for one after a change on disk alike.
    connect(m_pictures.get(), &PictureCache::ready, this, &DocumentModel::pictureReady);
}

DocumentModel::~DocumentModel() = default;

void DocumentModel::load(const Model &model)
{
    m_loading = true;
    m_undo->disableUndoRegistration();
    QList<NodePtr> nodes;
    nodes.reserve(model.points.size());
    for (const QPointF &point : model.points) {
        auto node = std::make_shared<Node>();
        node->setPosition(point);
        nodes.append(node);
    }
    m_leds.clear();
    m_markedCount = 0;
    insertLeds(nodes, 0);
    m_origin.reset();
    m_xDirection.reset();
    m_yDirection.reset();
    if (model.grid.size() > 0)
        addOrigin(model.grid[0]);
    if (model.grid.size() > 1)
        addX(model.grid[1]);
    if (model.grid.size() > 2)
        addY(model.grid[2]);
    m_images = model.filenames;
    m_animation = model.animationEditor ? model.animationEditor : std::make_shared<AnimationEditor>();
    // Frames naming one file share its one picture.
    for (const TrackPtr &track : m_animation->tracks())
        for (const FramePtr &frame : track->frames)
            if (frame->image && frame->image->url().isLocalFile())
                frame->image = m_pictures->picture(frame->image->url());
    m_undo->enableUndoRegistration();
    m_loading = false;
    emit gridChanged();
    emit imagesChanged();
    emit currentFrameChanged();
    emit loaded();
}

void DocumentModel::announce()
{
    emit ledsChanged();
    emit markingChanged();
    emit gridChanged();
    emit imagesChanged();
    emit backgroundChanged();
    emit currentFrameChanged();
    emit loaded();
}

DocumentModel::Contents DocumentModel::contents() const
{
    return {m_leds, m_origin, m_xDirection, m_yDirection, m_images, m_background, m_backgroundUrl, m_animation};
}

void DocumentModel::replace(const Model &model, const QUrl &background, const QString &name)
{
    Contents after;
    after.leds.reserve(model.points.size());
    for (const QPointF &point : model.points) {
        auto node = std::make_shared<Node>();
        node->setPosition(point);
        after.leds.append(node);
    }
    if (model.grid.size() > 0)
        after.origin = Node::gridHandle(model.grid[0]);
    if (model.grid.size() > 1)
        after.xDirection = Node::gridHandle(model.grid[1]);
    if (model.grid.size() > 2)
        after.yDirection = Node::gridHandle(model.grid[2]);
    after.images = model.filenames;
    after.animation = model.animationEditor ? model.animationEditor : std::make_shared<AnimationEditor>();
    for (const TrackPtr &track : after.animation->tracks())
        for (const FramePtr &frame : track->frames)
            if (frame->image && frame->image->url().isLocalFile())
                frame->image = m_pictures->picture(frame->image->url());
    if (background.isLocalFile()) {
        after.background = m_pictures->picture(background);
        after.backgroundUrl = background;
    }
    setContents(after);
    m_undo->setActionName(name);
}

void DocumentModel::setContents(const Contents &contents)
{
    const Contents before = this->contents();
    m_undo->registerUndo([this, before] { setContents(before); });
    m_leds = contents.leds;
    m_markedCount = 0;
    for (const NodePtr &node : std::as_const(m_leds)) {
        if (node->isMarked())
            ++m_markedCount;
    }
    m_origin = contents.origin;
    m_xDirection = contents.xDirection;
    m_yDirection = contents.yDirection;
    m_images = contents.images;
    m_background = contents.background;
    m_backgroundUrl = contents.backgroundUrl;
    m_animation = contents.animation;
    announce();
}

LayoutSnapshot DocumentModel::snapshot() const
{
    LayoutSnapshot layout;
    layout.leds = ledPositions();
    layout.grid = gridHandles();
    layout.images = m_images;
    layout.animationEditor = m_animation;
    layout.background = m_background;
    layout.pictures = m_pictures;
    return layout;
}

void DocumentModel::unrecordedChange()
{
    if (!m_loading)
        emit changedWithoutUndo();
}

// --- LEDs --------------------------------------------------------------------------------

QList<QPointF> DocumentModel::ledPositions() const
{
    QList<QPointF> positions;
    positions.reserve(m_leds.size());
    for (const NodePtr &node : m_leds)
        positions.append(node->position());
    return positions;
}

void DocumentModel::insertLed(const NodePtr &node, qsizetype index)
{
    m_undo->registerUndo([this, node] { removeLed(node); });
    m_undo->setActionName("insert node");
    if (index >= 0 && index < m_leds.size())
        m_leds.insert(index, node);
    else
        m_leds.append(node);
    if (node->isMarked())
        ++m_markedCount;
    emit ledsChanged();
    if (node->isMarked())
        emit markingChanged();
}

void DocumentModel::addLed(const NodePtr &node)
{
    m_undo->registerUndo([this, node] { removeLed(node); });
    m_undo->setActionName("add node");
    m_leds.append(node);
    if (node->isMarked())
        ++m_markedCount;
    emit ledsChanged();
}

void DocumentModel::insertLeds(const QList<NodePtr> &nodes, qsizetype index)
{
    if (nodes.isEmpty())
        return;
    if (index < 0 || index > m_leds.size())
        index = m_leds.size();
    m_undo->registerUndo([this, nodes] { removeLeds(nodes); });
    // One splice, so that opening or pasting many LEDs stays linear.
    QList<NodePtr> joined;
    joined.reserve(m_leds.size() + nodes.size());
    joined.append(m_leds.mid(0, index));
    joined.append(nodes);
    joined.append(m_leds.mid(index));
    m_leds = std::move(joined);
    bool marked = false;
    for (const NodePtr &node : nodes) {
        if (node->isMarked()) {
            ++m_markedCount;
            marked = true;
        }
    }
    emit ledsChanged();
    if (marked)
        emit markingChanged();
}

void DocumentModel::importLeds(const QList<QPointF> &positions, const QList<qsizetype> &toCheck)
{
    QList<NodePtr> nodes;
    nodes.reserve(positions.size());
    for (const QPointF &position : positions) {
        auto node = std::make_shared<Node>();
        node->setPosition(position);
        nodes.append(node);
    }
    insertLeds(nodes, m_leds.size());
    if (!toCheck.isEmpty()) {
        for (const NodePtr &led : markedLeds())
            unmarkLed(led);
        for (qsizetype i : toCheck)
            if (i >= 0 && i < nodes.size())
                markLed(nodes[i]);
    }
    m_undo->setActionName("import LEDs");
}

void DocumentModel::removeLed(const NodePtr &led)
{
    const NodePtr node = led; // the caller's reference may point into the list
    const qsizetype index = m_leds.indexOf(node);
    if (index < 0)
        return;
    m_undo->registerUndo([this, node, index] { insertLed(node, index); });
    m_undo->setActionName("remove node");
    m_leds.removeAt(index);
    if (node->isMarked())
        --m_markedCount;
    emit ledsChanged();
    if (node->isMarked())
        emit markingChanged();
}

void DocumentModel::removeLeds(const QList<NodePtr> &nodes)
{
    const QSet<const Node *> doomed = [&] {
        QSet<const Node *> set;
        set.reserve(nodes.size());
        for (const NodePtr &node : nodes)
            set.insert(node.get());
        return set;
    }();
    QList<QPair<qsizetype, NodePtr>> removed;
    QList<NodePtr> kept;
    kept.reserve(m_leds.size());
    bool marked = false;
    for (qsizetype i = 0; i < m_leds.size(); ++i) {
        const NodePtr &node = m_leds[i];
        if (doomed.contains(node.get())) {
            removed.append({i, node});
                    if (node->isMarked()) {
                --m_markedCount;
                marked = true;
            }
        } else {
            kept.append(node);
        }
    }
    if (removed.isEmpty())
        return;
    m_undo->registerUndo([this, removed] { putBack(removed); });
    m_undo->setActionName("remove node");
    m_leds = std::move(kept);
    emit ledsChanged();
    if (marked)
        emit markingChanged();
}

void DocumentModel::putBack(const QList<QPair<qsizetype, NodePtr>> &placed)
{
    QList<NodePtr> nodes;
    for (const auto &entry : placed)
        nodes.append(entry.second);
    m_undo->registerUndo([this, nodes] { removeLeds(nodes); });
    // Ascending indices into the final list: merge the kept LEDs around them.
    QList<NodePtr> merged;
    merged.reserve(m_leds.size() + placed.size());
    qsizetype kept = 0;
    bool marked = false;
    for (const auto &[index, node] : placed) {
        while (merged.size() < index && kept < m_leds.size())
            merged.append(m_leds[kept++]);
        merged.append(node);
        if (node->isMarked()) {
            ++m_markedCount;
            marked = true;
        }
    }
    while (kept < m_leds.size())
        merged.append(m_leds[kept++]);
    m_leds = std::move(merged);
    emit ledsChanged();
    if (marked)
        emit markingChanged();
}

void DocumentModel::moveLed(const NodePtr &node, QPointF position)
{
    const QPointF old = node->position();
    m_undo->registerUndo([this, node, old] { moveLed(node, old); });
    node->setPosition(position);
    if (node->type() == Node::GridNode)
        emit gridChanged();
    else
        emit ledsMoved();
}

void DocumentModel::setLedPosition(const NodePtr &node, QPointF position)
{
    node->setPosition(position);
    if (node->type() == Node::GridNode)
        emit gridChanged();
    else
        emit ledsMoved();
}

void DocumentModel::setLedPositions(const QList<NodePtr> &nodes, const QList<QPointF> &positions)
{
    for (qsizetype i = 0; i < nodes.size() && i < positions.size(); ++i)
        nodes[i]->setPosition(positions[i]);
    emit ledsMoved();
}

void DocumentModel::registerMoves(const QList<NodePtr> &nodes, const QList<QPointF> &starts, const QString &name)
{
    recordPositions(nodes, starts);
    m_undo->setActionName(name);
}

std::vector<qsizetype> DocumentModel::ledIndexes(const QList<NodePtr> &nodes) const
{
    std::vector<qsizetype> indexes(nodes.size(), -1);
    // The nodes come in LED order nearly always (the marked LEDs, a transform's LEDs): one
    // walk along the LEDs finds them; a node out of order is looked up on its own.
    qsizetype at = 0;
    QHash<const Node *, qsizetype> lookup;
    for (qsizetype k = 0; k < nodes.size(); ++k) {
        const Node *node = nodes[k].get();
        if (node->type() != Node::Led)
            continue;
        if (lookup.isEmpty()) {
            qsizetype i = at;
            while (i < m_leds.size() && m_leds[i].get() != node)
                ++i;
            if (i < m_leds.size()) {
                indexes[k] = i;
                at = i + 1;
                continue;
            }
            // Out of order: from here on one table of all LEDs answers.
            lookup.reserve(m_leds.size());
            for (qsizetype j = 0; j < m_leds.size(); ++j)
                lookup.insert(m_leds[j].get(), j);
        }
        indexes[k] = lookup.value(node, -1);
    }
    return indexes;
}

void DocumentModel::recordPositions(const QList<NodePtr> &nodes, const QList<QPointF> &positions)
{
    const qsizetype count = std::min(nodes.size(), positions.size());
    const std::vector<qsizetype> indexes = ledIndexes(nodes);
    PositionRecord record;
    record.positions.reserve(count);
    bool run = true;
    for (qsizetype k = 0; k < count; ++k) {
        if (indexes[k] < 0) {
            // A grid handle or a node no longer in the layout: undone on its own.
            const NodePtr node = nodes[k];
            const QPointF back = positions[k];
            m_undo->registerUndo([this, node, back] { moveLed(node, back); });
            continue;
        }
        if (record.positions.empty())
            record.first = indexes[k];
        run = run && indexes[k] == record.first + qsizetype(record.positions.size());
        record.indexes.push_back(quint32(indexes[k]));
        record.positions.push_back(positions[k]);
    }
    if (record.positions.empty())
        return;
    // A run of neighbouring LEDs (a whole layout, a pasted block) needs no index per LED.
    if (run)
        std::vector<quint32>().swap(record.indexes);
    const qint64 bytes = record.bytes();
    m_undo->registerUndo([this, record = std::move(record)] { restorePositions(record); }, bytes);
}

void DocumentModel::restorePositions(const PositionRecord &record)
{
    PositionRecord inverse;
    inverse.first = record.first;
    inverse.indexes = record.indexes;
    inverse.positions.reserve(record.positions.size());
    for (std::size_t k = 0; k < record.positions.size(); ++k) {
        const qsizetype i = record.index(k);
        if (i >= m_leds.size())
            return; // cannot happen while undo runs in order; never write out of bounds
        inverse.positions.push_back(m_leds[i]->position());
        m_leds[i]->setPosition(record.positions[k]);
    }
    const qint64 bytes = inverse.bytes();
    m_undo->registerUndo([this, inverse = std::move(inverse)] { restorePositions(inverse); }, bytes);
    emit ledsMoved();
}

void DocumentModel::setMarked(const NodePtr &node, bool marked)
{
    node->setMarked(marked);
    m_markedCount += marked ? 1 : -1;
}

void DocumentModel::markLed(const NodePtr &node)
{
    if (node->isMarked())
        return;
    m_undo->registerUndo([this, node] { unmarkLed(node); });
    m_undo->setActionName("select node");
    setMarked(node, true);
    emit markingChanged();
}

void DocumentModel::unmarkLed(const NodePtr &node)
{
    if (!node->isMarked())
        return;
    m_undo->registerUndo([this, node] { markLed(node); });
    m_undo->setActionName("deselect node");
    setMarked(node, false);
    emit markingChanged();
}

void DocumentModel::setMarking(const QList<bool> &marking)
{
    bool changed = false;
    for (qsizetype i = 0; i < m_leds.size() && i < marking.size(); ++i) {
        if (m_leds[i]->isMarked() != marking[i]) {
            setMarked(m_leds[i], marking[i]);
            changed = true;
        }
    }
    if (changed)
        emit markingChanged();
}

QList<bool> DocumentModel::marking() const
{
    QList<bool> list;
    list.reserve(m_leds.size());
    for (const NodePtr &node : m_leds)
        list.append(node->isMarked());
    return list;
}

void DocumentModel::changeMarking(const QList<bool> &marking)
{
    std::vector<quint32> flips;
    for (qsizetype i = 0; i < m_leds.size() && i < marking.size(); ++i)
        if (m_leds[i]->isMarked() != marking[i])
            flips.push_back(quint32(i));
    if (flips.empty())
        return;
    flipMarking(flips);
    m_undo->setActionName(m_leds[flips.back()]->isMarked() ? "select node" : "deselect node");
}

void DocumentModel::flipMarking(const std::vector<quint32> &indexes)
{
    for (const quint32 i : indexes)
        if (i >= m_leds.size())
            return; // cannot happen while undo runs in order; never index out of bounds
    m_undo->registerUndo([this, indexes] { flipMarking(indexes); }, qint64(indexes.size() * sizeof(quint32)));
    for (const quint32 i : indexes)
        setMarked(m_leds[i], !m_leds[i]->isMarked());
    emit markingChanged();
}

QList<NodePtr> DocumentModel::markedLeds() const
{
    QList<NodePtr> marked;
    for (const NodePtr &node : m_leds)
        if (node->isMarked())
            marked.append(node);
    return marked;
}

// --- Generators and wiring tools -------------------------------------------------------------

QList<NodePtr> DocumentModel::addLeds(const QList<QPointF> &positions, const QString &name, bool snap)
{
    if (positions.isEmpty())
        return {};
    const std::optional<GridTransform> grid = snap ? transform() : std::nullopt;
    QList<NodePtr> nodes;
    nodes.reserve(positions.size());
    for (const QPointF &position : positions) {
        auto node = std::make_shared<Node>();
        node->setPosition(grid ? grid->snap(position) : position);
        // Marked before they join, so that the insertion counts them in one pass.
        node->setMarked(true);
        nodes.append(node);
    }
    const auto firstMarked = std::find_if(m_leds.cbegin(), m_leds.cend(), [](const NodePtr &n) { return n->isMarked(); });
    insertLeds(nodes, firstMarked - m_leds.cbegin());
    m_undo->setActionName(name);
    return nodes;
}

QList<NodePtr> DocumentModel::pasteLeds(const QList<QPointF> &positions)
{
    // Each pasted LED goes in front of the first marked one and is then marked, so the
    // block lands in reverse order in front of the LEDs marked before (or at the end).
    QList<QPointF> reversed(positions.crbegin(), positions.crend());
    return addLeds(reversed, "select node");
}

void DocumentModel::setLedOrder(const QList<NodePtr> &order)
{
    const QList<NodePtr> old = m_leds;
    m_undo->registerUndo([this, old] { setLedOrder(old); });
    m_leds = order;
    emit ledsChanged();
}

void DocumentModel::reverseOrder()
{
    QList<qsizetype> places;
    for (qsizetype i = 0; i < m_leds.size(); ++i)
        if (m_leds[i]->isMarked())
            places.append(i);
    if (places.size() < 2)
        return;
    QList<NodePtr> order = m_leds;
    for (qsizetype k = 0; k < places.size(); ++k)
        order[places[k]] = m_leds[places[places.size() - 1 - k]];
    setLedOrder(order);
    m_undo->setActionName("reverse order");
}

void DocumentModel::moveToStart()
{
    QList<NodePtr> order = markedLeds();
    if (order.isEmpty())
        return;
    for (const NodePtr &node : std::as_const(m_leds))
        if (!node->isMarked())
            order.append(node);
    if (order == m_leds)
        return;
    setLedOrder(order);
    m_undo->setActionName("move to start");
}

void DocumentModel::moveToEnd()
{
    QList<NodePtr> order;
    order.reserve(m_leds.size());
    for (const NodePtr &node : std::as_const(m_leds))
        if (!node->isMarked())
            order.append(node);
    if (order.size() == m_leds.size())
        return;
    order.append(markedLeds());
    if (order == m_leds)
        return;
    setLedOrder(order);
    m_undo->setActionName("move to end");
}

void DocumentModel::wire(const NodePtr &led, qsizetype index, qsizetype first)
{
    if (!m_leds.contains(led))
        return;
    const qsizetype count = m_leds.size();
    index = std::clamp<qsizetype>(index, 0, count - 1);
    first = first < 0 ? index : std::clamp<qsizetype>(first, 0, index);
    // The run wired so far stays on its places; an LED taken out from in front of it is
    // replaced by the next unwired one, so the run does not slide.
    QList<NodePtr> run;
    for (qsizetype i = first; i < index; ++i)
        if (m_leds[i] != led)
            run.append(m_leds[i]);
    QList<NodePtr> others;
    others.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        if ((i < first || i >= index) && m_leds[i] != led)
            others.append(m_leds[i]);
    const qsizetype before = std::min(first, others.size());
    QList<NodePtr> order;
    order.reserve(count);
    order.append(others.mid(0, before));
    order.append(run);
    order.append(led);
    order.append(others.mid(before));
    if (order == m_leds)
        return;
    setLedOrder(order);
    m_undo->setActionName("wire");
}

void DocumentModel::moveLeds(const QList<NodePtr> &nodes, const QList<QPointF> &positions)
{
    QList<QPointF> old;
    old.reserve(nodes.size());
    bool grid = false;
    for (const NodePtr &node : nodes) {
        old.append(node->position());
        grid = grid || node->type() == Node::GridNode;
    }
    recordPositions(nodes, old);
    setLedPositions(nodes, positions);
    if (grid)
        emit gridChanged();
}

void DocumentModel::nudge(QPointF offset)
{
    const QList<NodePtr> nodes = markedLeds();
    if (nodes.isEmpty() || !std::isfinite(offset.x()) || !std::isfinite(offset.y()))
        return;
    double left = nodes[0]->position().x(), right = left;
    double bottom = nodes[0]->position().y(), top = bottom;
    for (const NodePtr &node : nodes) {
        const QPointF p = node->position();
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    }
    // The marked LEDs stop at the edge of the layout space; ones already beyond it can
    // still come back but go no further.
    const double dx = std::clamp(offset.x(), std::min(0.0, -left), std::max(0.0, 1024 - right));
    const double dy = std::clamp(offset.y(), std::min(0.0, -bottom), std::max(0.0, 768 - top));
    if (dx == 0 && dy == 0)
        return;
    QList<QPointF> positions;
    positions.reserve(nodes.size());
    for (const NodePtr &node : nodes)
        positions.append(node->position() + QPointF(dx, dy));
    moveLeds(nodes, positions);
    m_undo->setActionName("nudge");
}

QPointF DocumentModel::nudgeStep(int dx, int dy, bool large) const
{
    const double factor = large ? 10 : 1;
    if (const auto handles = gridHandles()) {
        // Half steps keep LEDs that sit on the grid's half steps on them.
        const QPointF x = (handles->xDirection - handles->origin) / 2;
        const QPointF y = (handles->yDirection - handles->origin) / 2;
        return factor * (dx * x + dy * y);
    }
    return factor * QPointF(dx, dy);
}

// --- The grid ----------------------------------------------------------------------------

int DocumentModel::gridState() const
{
    return m_yDirection ? 3 : m_xDirection ? 2 : m_origin ? 1 : 0;
}

void DocumentModel::addOrigin(QPointF point)
{
    m_origin = Node::gridHandle(point);
    emit gridChanged();
    unrecordedChange();
}

void DocumentModel::addX(QPointF point)
{
    m_xDirection = Node::gridHandle(point);
    emit gridChanged();
    unrecordedChange();
}

void DocumentModel::addY(QPointF point)
{
    m_yDirection = Node::gridHandle(point);
    emit gridChanged();
    unrecordedChange();
}

void DocumentModel::setGridPositions(QPointF origin, QPointF x, QPointF y)
{
    if (gridState() != 3)
        return;
    m_origin->setPosition(origin);
    m_xDirection->setPosition(x);
    m_yDirection->setPosition(y);
    emit gridChanged();
}

void DocumentModel::registerGridMove(const GridHandles &before)
{
    m_undo->registerUndo([this, before] { moveGrid(before); });
    m_undo->setActionName("move grid");
}

void DocumentModel::moveGrid(const GridHandles &handles)
{
    const auto before = gridHandles();
    if (!before)
        return;
    m_undo->registerUndo([this, old = *before] { moveGrid(old); });
    setGridPositions(handles.origin, handles.xDirection, handles.yDirection);
}

void DocumentModel::setGrid(const GridHandles &handles)
{
    placeGrid(handles.origin, handles.xDirection, handles.yDirection);
    m_undo->setActionName("move grid");
}

void DocumentModel::placeGrid(std::optional<QPointF> origin, std::optional<QPointF> x, std::optional<QPointF> y)
{
    auto where = [](const NodePtr &handle) {
        return handle ? std::optional<QPointF>(handle->position()) : std::nullopt;
    };
    m_undo->registerUndo([this, o = where(m_origin), xd = where(m_xDirection), yd = where(m_yDirection)] {
        placeGrid(o, xd, yd);
    });
    auto place = [this](NodePtr &handle, std::optional<QPointF> point) {
        if (!point)
            handle.reset();
        else if (handle)
            handle->setPosition(*point);
        else
            handle = Node::gridHandle(*point);
    };
    place(m_origin, origin);
    place(m_xDirection, x);
    place(m_yDirection, y);
    emit gridChanged();
}

void DocumentModel::removeGrid()
{
    QList<QPointF> handles;
    for (const NodePtr &handle : {m_origin, m_xDirection, m_yDirection})
        if (handle)
            handles.append(handle->position());
    if (handles.isEmpty())
        return;
    m_undo->registerUndo([this, handles] { restoreGrid(handles); });
    m_undo->setActionName("remove grid");
    m_origin.reset();
    m_xDirection.reset();
    m_yDirection.reset();
    emit gridChanged();
}

void DocumentModel::restoreGrid(const QList<QPointF> &handles)
{
    m_undo->registerUndo([this] { removeGrid(); });
    m_undo->disableUndoRegistration();
    const bool loading = m_loading;
    m_loading = true; // placing them again is part of this step, not a change of its own
    if (handles.size() > 0)
        addOrigin(handles[0]);
    if (handles.size() > 1)
        addX(handles[1]);
    if (handles.size() > 2)
        addY(handles[2]);
    m_loading = loading;
    m_undo->enableUndoRegistration();
}

std::optional<GridHandles> DocumentModel::gridHandles() const
{
    if (gridState() != 3)
        return std::nullopt;
    return GridHandles{m_origin->position(), m_xDirection->position(), m_yDirection->position()};
}

std::optional<GridTransform> DocumentModel::transform() const
{
    if (auto handles = gridHandles())
        return GridTransform(*handles);
    return std::nullopt;
}

// --- Pictures and background -----------------------------------------------------------------

void DocumentModel::setImages(const QList<QUrl> &urls)
{
    if (urls == m_images)
        return;
    m_images = urls;
    emit imagesChanged();
    unrecordedChange();
}

void DocumentModel::appendImage(const QUrl &url)
{
    setImages(m_images + QList<QUrl>{url});
}

void DocumentModel::renamePictures(const std::function<QUrl(const QUrl &)> &rename)
{
    for (QUrl &url : m_images)
        url = rename(url);
    for (const TrackPtr &track : m_animation->tracks())
        for (const FramePtr &frame : track->frames)
            frame->url = rename(frame->url);
    emit imagesChanged();
}

std::shared_ptr<const QImage> DocumentModel::bitmap() const
{
    return m_background ? m_background->bitmap() : nullptr;
}

void DocumentModel::setBackground(PicturePtr picture, const QUrl &url)
{
    const QUrl oldUrl = m_backgroundUrl;
    if (m_pictures->contains(m_background)) {
        // The file is enough to get it back: from the cache while someone else holds it,
        // decoded again otherwise.
        const std::weak_ptr<Picture> held = m_background;
        const QUrl file = m_background->url();
        m_undo->registerUndo([this, held, file, oldUrl] {
            const PicturePtr shown = held.lock();
            setBackground(shown ? shown : m_pictures->picture(file), oldUrl);
        });
    } else {
        const PicturePtr oldPicture = m_background;
        m_undo->registerUndo([this, oldPicture, oldUrl] { setBackground(oldPicture, oldUrl); });
    }
    m_background = std::move(picture);
    m_backgroundUrl = url;
    emit backgroundChanged();
}

bool DocumentModel::setBackgroundFile(const QUrl &url)
{
    if (!url.isLocalFile() || !pictureRefusal(url.toLocalFile()).isEmpty())
        return false;
    setBackground(m_pictures->picture(url), url);
    return true;
}

void DocumentModel::pictureReady(const QUrl &url)
{
    if (m_background && m_background->url() == url)
        emit backgroundChanged();
    QList<qsizetype> showing;
    const QList<FramePtr> &list = frames();
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i]->image && list[i]->image->url() == url)
            showing.append(i);
    if (!showing.isEmpty())
        emit framesEdited(showing);
}

// --- Frames ------------------------------------------------------------------------------------

const QList<FramePtr> &DocumentModel::frames() const
{
    return m_animation->track().frames;
}

void DocumentModel::insertFrameObject(const FramePtr &frame, qsizetype index)
{
    const qsizetype count = frames().size();
    m_animation->setSelectedFrame(index >= 0 && index < count ? index : -1);
    m_animation->addFrame(frame);
    const qint64 at = m_animation->selectedFrame();
    m_undo->registerUndo([this, frame] { removeFrameObject(frame); });
    emit frameInserted(at);
    showCurrentFrame();
}

void DocumentModel::removeFrameObject(const FramePtr &frame)
{
    const qsizetype index = frames().indexOf(frame);
    if (index < 0)
        return;
    m_animation->setSelectedFrame(index);
    m_animation->removeFrames();
    m_undo->registerUndo([this, frame, index] { insertFrameObject(frame, index); });
    emit frameRemoved(index);
    showCurrentFrame();
}

void DocumentModel::addFrame()
{
    const FramePtr frame = AnimationFrame::newWithSelection(marking(), m_background, m_backgroundUrl);
    const qint64 current = currentFrame();
    insertFrameObject(frame, current >= 0 ? current : frames().size());
    m_undo->setActionName("add Frame");
}

void DocumentModel::addFrameAfter()
{
    const FramePtr frame = AnimationFrame::newWithSelection(marking(), m_background, m_backgroundUrl);
    const qint64 current = currentFrame();
    insertFrameObject(frame, current >= 0 ? current + 1 : frames().size());
    m_undo->setActionName("add Frame");
}

void DocumentModel::removeFrame()
{
    if (const FramePtr frame = m_animation->animationFrame()) {
        removeFrameObject(frame);
        m_undo->setActionName("remove Frame");
    }
}

bool DocumentModel::previousFrame()
{
    // With no frames there is nowhere to go, and nothing to show.
    if (frames().isEmpty() || !m_animation->previousFrame())
        return false;
    m_undo->registerUndo([this] { nextFrame(); });
    m_undo->setActionName("previous Frame");
    showCurrentFrame();
    return true;
}

bool DocumentModel::nextFrame()
{
    if (!m_animation->nextFrame())
        return false;
    m_undo->registerUndo([this] { previousFrame(); });
    m_undo->setActionName("next Frame");
    showCurrentFrame();
    return true;
}

void DocumentModel::setCurrentFrame(qint64 index, bool show)
{
    m_animation->setSelectedFrame(index >= 0 && index < frames().size() ? index : -1);
    if (show)
        showCurrentFrame();
    else
        emit currentFrameChanged();
}

void DocumentModel::showCurrentFrame()
{
    const FramePtr frame = m_animation->animationFrame();
    // Showing a frame is navigation, not an edit: nothing of it goes into the history.
    m_undo->disableUndoRegistration();
    setMarking(frame ? frame->selection : QList<bool>());
    setBackground(frame ? frame->image : nullptr, frame ? frame->url : QUrl());
    m_undo->enableUndoRegistration();
    emit currentFrameChanged();
}

void DocumentModel::moveFrame(qsizetype from, qsizetype to)
{
    QList<FramePtr> &list = m_animation->track().frames;
    if (from < 0 || from >= list.size() || to < 0 || to > list.size())
        return;
    const qsizetype undoFrom = from < to ? to - 1 : to;
    const qsizetype undoTo = from < to ? from : from + 1;
    m_undo->registerUndo([this, undoFrom, undoTo] { moveFrame(undoFrom, undoTo); });
    m_undo->setActionName("move Frames");
    const FramePtr frame = list.takeAt(from);
    list.insert(from < to ? to - 1 : to, frame);
    emit frameMoved(from, to);
}

void DocumentModel::reverseFrames()
{
    const QList<FramePtr> &list = frames();
    std::vector<qsizetype> places;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i]->selected)
            places.push_back(i);
    if (places.empty() && list.size() >= 2)
        for (qsizetype i = 0; i < list.size(); ++i)
            places.push_back(i);
    reversePlaces(places);
    m_undo->setActionName("reverse Frames");
}

void DocumentModel::reversePlaces(const std::vector<qsizetype> &places)
{
    // Reversing the same places again restores the order, whatever is selected by then.
    m_undo->registerUndo([this, places] { reversePlaces(places); });
    QList<FramePtr> &list = m_animation->track().frames;
    const qsizetype m = qsizetype(places.size());
    for (qsizetype k = 0; m >= 2 && k < m - 1 - k; ++k)
        if (places[m - 1 - k] < list.size())
            list.swapItemsAt(places[k], places[m - 1 - k]);
    emit framesReversed(places);
}

void DocumentModel::changeFrames()
{
    QList<FramePtr> &list = m_animation->track().frames;
    QList<qsizetype> changed;
    const qint64 current = currentFrame();
    if (current >= 0 && current < list.size()) {
        AnimationFrame &frame = *list[current];
        frame.selection = marking();
        frame.url = m_backgroundUrl;
        frame.image = m_background;
        changed.append(current);
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        AnimationFrame &frame = *list[i];
        if (!frame.selected)
            continue;
        frame.url = m_backgroundUrl;
        frame.image = m_background;
        if (!changed.contains(i))
            changed.append(i);
    }
    if (changed.isEmpty())
        return;
    emit framesEdited(changed);
    unrecordedChange();
}

void DocumentModel::setFrameSelected(qsizetype index, bool selected)
{
    const QList<FramePtr> &list = frames();
    if (index < 0 || index >= list.size() || list[index]->selected == selected)
        return;
    list[index]->selected = selected;
    emit frameSelectionChanged();
}

} // namespace lumora
