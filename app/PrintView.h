#pragma once

#include <QList>
#include <QRectF>

class QPainter;

namespace lumora {

class View;

/// The printed layout: every LED as a black outlined circle of diameter 34 points, the whole
/// layout scaled to fit the printable area and centred on it, with each LED's number beside
/// it while the editor shows LED numbers. Nothing else is printed.
class PrintView {
public:
    explicit PrintView(const View *view = nullptr) : m_view(view) {}

    const View *view() const { return m_view; }
    void setView(const View *view) { m_view = view; }

    /// The circles, in LED order, for a printable area of the given size (points, y down).
    QList<QRectF> circles(QSizeF area) const;
    /// Draws the circles into the area, whose size is in points.
    void draw(QPainter &painter, QSizeF area) const;

private:
    const View *m_view;
};

} // namespace lumora
