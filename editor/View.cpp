#include "View.h"

#include "UndoManager.h"

#include <QResizeEvent>

namespace lumora {

bool View::isInsideLayout(QPointF p)
{
    return p.x() >= 0 && p.x() < 1024 && p.y() >= 0 && p.y() < 768;
}

View::View(UndoManager *undoManager, QWidget *parent)
    : QWidget(parent), m_undo(undoManager), m_animationEditor(std::make_shared<AnimationEditor>())
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::PinchGesture);
    setMinimumSize(256, 192);

    connect(&m_timer, &QTimer::timeout, this, &View::tick);
    m_timer.start(1000 / 30);
    m_animationTimer.setInterval(16);
    connect(&m_animationTimer, &QTimer::timeout, this, [this] {
        QWidget::update();
        if (m_animationClock.elapsed() > 200) {
            m_animationTimer.stop();
            for (const NodePtr &node : m_ledNodes)
                node->animating = false;
            for (const NodePtr &node : gridNodes())
                node->animating = false;
        }
    });
}

View::~View() = default;

QPointF View::pointFromEvent(QPointF w) const
{
    const double k = 1024.0 / width();
    return {w.x() * k, (height() - w.y()) * k};
}

QPointF View::widgetPoint(QPointF p) const
{
    const double s = width() / 1024.0;
    return {p.x() * s, height() - p.y() * s};
}

NodePtr View::addVertex(QPointF point)
{
    auto node = std::make_shared<Node>();
    node->setPosition(point);
    insertNode(node);
    return node;
}

void View::insertNode(const NodePtr &node)
{
    for (qsizetype i = 0; i < m_ledNodes.size(); ++i) {
        if (m_ledNodes[i]->isMarked()) {
            insertNode(node, i);
            markNode(node);
            return;
        }
    }
    addNode(node);
}

void View::insertNode(const NodePtr &node, qint64 index)
{
    m_undo->registerUndo([this, node] { removeNode(node); });
    m_undo->setActionName("insert node");
    if (index >= 0 && index < m_ledNodes.size())
        m_ledNodes.insert(index, node);
    else
        m_ledNodes.append(node);
    node->visible = true;
    updateCount();
    if (node->isMarked())
        emit markingChanged();
}

void View::addNode(const NodePtr &node)
{
    m_undo->registerUndo([this, node] { removeNode(node); });
    m_undo->setActionName("add node");
    m_ledNodes.append(node);
    updateCount();
}

void View::removeNode(const NodePtr &node)
{
    const qsizetype index = m_ledNodes.indexOf(node);
    if (index < 0)
        return;
    m_undo->registerUndo([this, node, index] { insertNode(node, index); });
    m_undo->setActionName("remove node");
    node->visible = false;
    m_ledNodes.removeAt(index);
    updateCount();
    if (node->isMarked())
        emit markingChanged();
}

void View::moveNode(const NodePtr &node, QPointF position)
{
    const QPointF old = node->position();
    m_undo->registerUndo([this, node, old] { moveNode(node, old); });
    if (m_animationPrepared) {
        node->animationStart = displayPosition(*node);
        node->animating = true;
    }
    node->setPosition(position);
    QWidget::update();
}

void View::updateCount()
{
    emit countChanged(m_ledNodes.size());
    updateEdges(false);
    updateBitmap();
    QWidget::update();
}

void View::updateEdges(bool animated)
{
    Q_UNUSED(animated); // the drawn line follows the nodes' animated positions anyway
    // The LED order line, rebuilt only when the weighted sums of the positions change.
    double sx = 0, sy = 0;
    for (qsizetype k = 0; k < m_ledNodes.size(); ++k) {
        const QPointF p = m_ledNodes[k]->position();
        sx += (k + 1) * p.x();
        sy += (k + 1) * p.y();
    }
    if (sx != m_lastX || sy != m_lastY) {
        m_lastX = sx;
        m_lastY = sy;
        findDuplicates();
        if (!m_painting)
            QWidget::update();
    }

    // The grid lines, likewise keyed on the sums of the handle coordinates.
    double gx = 0, gy = 0;
    for (const NodePtr &handle : {m_origin, m_xDirection, m_yDirection}) {
        if (handle) {
            gx += handle->position().x();
            gy += handle->position().y();
        }
    }
    if (gx == m_lastGridX && gy == m_lastGridY)
        return;
    m_lastGridX = gx;
    m_lastGridY = gy;
    m_axesDrawn = m_xDirection != nullptr;
    m_lattice = latticeSegments();
    if (!m_painting)
        QWidget::update();
}

LayoutSnapshot View::snapshot() const
{
    LayoutSnapshot layout;
    for (const NodePtr &node : m_ledNodes)
        layout.leds.append(node->position());
    layout.grid = gridHandles();
    layout.animationEditor = m_animationEditor;
    layout.background = m_image;
    return layout;
}

void View::markNode(const NodePtr &node)
{
    if (node->isMarked())
        return;
    m_undo->registerUndo([this, node] { unmarkNode(node); });
    m_undo->setActionName("select node");
    node->setMarked(true);
    node->stroke = Qt::red;
    emit markingChanged();
    QWidget::update();
}

void View::unmarkNode(const NodePtr &node)
{
    if (!node->isMarked())
        return;
    m_undo->registerUndo([this, node] { markNode(node); });
    m_undo->setActionName("deselect node");
    node->setMarked(false);
    node->stroke = Qt::white;
    emit markingChanged();
    QWidget::update();
}

void View::toggleMarkNode(const NodePtr &node)
{
    if (node->isMarked())
        unmarkNode(node);
    else
        markNode(node);
}

void View::selectAll()
{
    for (const NodePtr &node : QList<NodePtr>(m_ledNodes))
        markNode(node);
}

bool View::isMarked() const
{
    for (const NodePtr &node : m_ledNodes)
        if (node->isMarked())
            return true;
    return false;
}

void View::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_sprites.clear();
}

} // namespace lumora
