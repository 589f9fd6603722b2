#pragma once

#include "editor/tools/Tool.h"

#include <QList>

namespace lumora {

/// Wire by Clicking: each LED clicked takes the next place in the LED order, starting at
/// place `first`; clicking an LED wired already in this run does nothing. Escape ends it, as
/// does wiring the last place. The view's `wiringChanged` tells every step.
class WireByClickingTool : public Tool {
public:
    WireByClickingTool(View &view, qsizetype first);

    void press(QPointF point, QMouseEvent *event) override;
    void move(QPointF point, QMouseEvent *event, bool dragging) override;
    bool release(QPointF, QMouseEvent *, bool) override { return false; }
    bool key(QKeyEvent *event) override;
    void begin() override;
    void cancel() override;
    std::optional<Qt::CursorShape> cursor() const override { return Qt::CrossCursor; }

    /// The place the next clicked LED gets.
    qsizetype nextPlace() const { return m_next; }

private:
    void stop();

    qsizetype m_first;
    qsizetype m_next;
    QList<NodePtr> m_wired;
};

} // namespace lumora
