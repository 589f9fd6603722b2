#include "View.h"

#include "document/UndoManager.h"

#include <QResizeEvent>

namespace lumora {

bool View::isInsideLayout(QPointF p)
{
    return p.x() >= 0 && p.x() < 1024 && p.y() >= 0 && p.y() < 768;
}

View::View(DocumentModel *model, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    updateModeTool();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::PinchGesture);
    setMinimumSize(256, 192);
    updateViewTransform();

    connect(m_model, &DocumentModel::ledsChanged, this, [this] {
        emit countChanged(m_model->ledCount());
        m_layoutPainter.endDrag(); // its LEDs are known by their places in the order
        ledsChanged();
        scheduleBitmapUpdate();
    });
    connect(m_model, &DocumentModel::loaded, this, [this] {
        // A layout that opens with a complete grid opens in Select, where a stray drag
        // moves no grid and marks LEDs instead.
        // Its grid is shown, as in Edit Grid, so that Preview's presses reach it.
        if (m_model->gridState() == 3) {
            m_mode = editingMode("Select");
            showGrid();
        }
        setMode(mode());
        updateEdges(false);
    });
    connect(m_model, &DocumentModel::ledsMoved, this, &View::ledsChanged);
    connect(m_model, &DocumentModel::gridChanged, this, &View::gridChanged);
    connect(m_model, &DocumentModel::markingChanged, this, [this] {
        emit markingChanged();
        QWidget::update();
    });
    connect(m_model, &DocumentModel::backgroundChanged, this, [this] {
        scheduleBitmapUpdate();
        QWidget::update();
    });

    connect(&m_timer, &QTimer::timeout, this, &View::tick);
    m_timer.start(1000 / 30);
    m_animationTimer.setInterval(16);
    connect(&m_animationTimer, &QTimer::timeout, this, [this] {
        QWidget::update();
        if (m_animationClock.elapsed() > 200) {
            m_animationTimer.stop();
            m_glideStarts.clear();
        }
    });
}

View::~View()
{
    // Tools reach back into the view; none may outlive its parts.
    m_override.reset();
    m_retired.reset();
    m_modeTool.reset();
}

QPointF View::pointFromEvent(QPointF w) const
{
    return m_toWidget.inverted().map(w);
}

QPointF View::widgetPoint(QPointF p) const
{
    return m_toWidget.map(p);
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
    const QList<NodePtr> &list = leds();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i]->isMarked()) {
            m_model->insertLed(node, i);
            m_model->markLed(node);
            return;
        }
    }
    m_model->addLed(node);
}

void View::moveNodes(const QList<NodePtr> &nodes, const QList<QPointF> &positions)
{
    if (nodes.isEmpty())
        return;
    if (m_animationPrepared) {
        for (const NodePtr &node : nodes)
            m_glideStarts.insert(node.get(), {node, displayPosition(*node)});
    }
    m_model->moveLeds(nodes, positions);
}

void View::ledsChanged()
{
    m_autoLedSizeStale = true;
    // The order line and the duplicates are brought up to date before the next paint (or
    // when asked for), so a transform of many LEDs costs one pass, not one per LED.
    QWidget::update();
}

void View::scheduleBitmapUpdate()
{
    if (m_bitmapUpdateScheduled)
        return;
    m_bitmapUpdateScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_bitmapUpdateScheduled = false;
        updateBitmap();
    });
}

const QList<NodePtr> &View::duplicateNodes()
{
    updateEdges(false);
    return m_duplicates;
}

void View::gridChanged()
{
    updateEdges(false);
    QWidget::update();
}

void View::updateEdges(bool animated)
{
    Q_UNUSED(animated); // the drawn line follows the nodes' animated positions anyway
    // The duplicate markers, searched again only when the weighted sums of the positions
    // change.
    double sx = 0, sy = 0;
    const QList<NodePtr> &list = leds();
    for (qsizetype k = 0; k < list.size(); ++k) {
        const QPointF p = list[k]->position();
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
    for (const NodePtr &handle : {m_model->origin(), m_model->xDirection(), m_model->yDirection()}) {
        if (handle) {
            gx += handle->position().x();
            gy += handle->position().y();
        }
    }
    const bool axes = m_model->xDirection() != nullptr;
    if (gx == m_lastGridX && gy == m_lastGridY && axes == m_axesDrawn && m_lattice.isEmpty() == !m_model->yDirection())
        return;
    m_lastGridX = gx;
    m_lastGridY = gy;
    m_axesDrawn = axes;
    m_lattice = latticeSegments();
    if (!m_painting)
        QWidget::update();
}

void View::prepareAnimation()
{
    // Moves made during this event glide over 0.2 s.
    m_animationPrepared = true;
    m_animationClock.start();
    m_animationTimer.start();
    QTimer::singleShot(0, this, [this] { m_animationPrepared = false; });
}

void View::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layoutPainter.forgetSprites();
    updateViewTransform();
}

} // namespace lumora
