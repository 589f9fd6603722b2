#include "ViewScroller.h"

#include "View.h"

#include <QGridLayout>
#include <QScrollBar>

#include <cmath>

namespace lumora {

ViewScroller::ViewScroller(View *view, QWidget *parent)
    : QWidget(parent), m_view(view), m_horizontal(new QScrollBar(Qt::Horizontal, this)),
      m_vertical(new QScrollBar(Qt::Vertical, this))
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(view, 0, 0);
    grid->addWidget(m_vertical, 0, 1);
    grid->addWidget(m_horizontal, 1, 0);
    m_horizontal->hide();
    m_vertical->hide();
    connect(view, &View::viewChanged, this, &ViewScroller::updateBars);
    connect(m_horizontal, &QScrollBar::valueChanged, this, &ViewScroller::barsMoved);
    connect(m_vertical, &QScrollBar::valueChanged, this, &ViewScroller::barsMoved);
    updateBars();
}

void ViewScroller::updateBars()
{
    // In widget pixels at the current scale: the layout space is the document, the view
    // its page; the vertical bar counts from the top of the layout (its largest y).
    m_updating = true;
    const double s = m_view->layoutTransform().m11();
    const QRectF space = View::layoutSpace();
    const QPointF c = m_view->viewCentre();
    auto set = [](QScrollBar *bar, double total, double page, double first) {
        const int range = int(std::lround(total - page));
        bar->setVisible(range > 0);
        bar->setRange(0, std::max(0, range));
        bar->setPageStep(int(page));
        bar->setSingleStep(20);
        bar->setValue(int(std::round(first)));
    };
    set(m_horizontal, space.width() * s, m_view->width(), (c.x() - space.left()) * s - m_view->width() / 2.0);
    set(m_vertical, space.height() * s, m_view->height(), (space.bottom() - c.y()) * s - m_view->height() / 2.0);
    m_updating = false;
}

void ViewScroller::barsMoved()
{
    if (m_updating)
        return;
    const double s = m_view->layoutTransform().m11();
    const QRectF space = View::layoutSpace();
    const double x = space.left() + (m_horizontal->value() + m_view->width() / 2.0) / s;
    const double y = space.bottom() - (m_vertical->value() + m_view->height() / 2.0) / s;
    m_view->setViewCentre(QPointF(m_horizontal->isVisible() ? x : m_view->viewCentre().x(),
                                  m_vertical->isVisible() ? y : m_view->viewCentre().y()));
}

} // namespace lumora
