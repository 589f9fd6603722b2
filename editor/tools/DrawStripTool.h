#pragma once

#include "document/LedGenerators.h"
#include "editor/tools/Tool.h"

#include <QList>

namespace lumora {

/// Draw Strip: a press dragged to its release lays a straight strip; clicks one after another
/// lay a polyline, which a double click or Enter finishes. Backspace takes back the last
/// point, +/− change the count (or spacing), Escape cancels. The LEDs fill the line as the
/// placement says and join as one step "add strip" by the insertion rule, marked, snapped to
/// half grid steps when `snap` and the grid is complete. Finished or cancelled, the view goes
/// back to its mode's tool.
class DrawStripTool : public Tool {
public:
    /// `placement` is the caller's, kept: +/− change it for the next strip too.
    DrawStripTool(View &view, StripPlacement &placement, bool snap);

    void press(QPointF point, QMouseEvent *event) override;
    void move(QPointF point, QMouseEvent *event, bool dragging) override;
    bool release(QPointF point, QMouseEvent *event, bool pressed) override;
    bool doubleClick(QPointF point, QMouseEvent *event) override;
    bool key(QKeyEvent *event) override;
    bool wantsKey(const QKeyEvent *event) const override;
    void paintOverlay(QPainter &painter) override;
    void begin() override { refresh(); }
    void cancel() override;
    std::optional<Qt::CursorShape> cursor() const override { return Qt::CrossCursor; }

    /// Repaints the line and its LEDs and tells their count in the status bar.
    void refresh();
    /// The line drawn so far, ending at the pointer, and where its LEDs would go.
    QList<QPointF> line() const;
    QList<QPointF> preview() const;

private:
    void movePointer(QPointF widgetPosition);
    void pressAt(QPointF widgetPosition);
    /// Adds the strip along the line and leaves the tool (the line is a copy: it may be the
    /// tool's own points).
    void finish(QList<QPointF> line);

    StripPlacement &m_placement;
    bool m_snap;
    /// The points fixed so far, the pointer, and whether the first press became a drag (a
    /// straight strip) or a click (a polyline).
    QList<QPointF> m_points;
    QPointF m_pointer;
    QPointF m_pressAt; // widget position of the first press
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_polyline = false;
};

} // namespace lumora
