#pragma once

#include "document/UndoManager.h"
#include "editor/EditCommands.h"
#include "editor/LedToolTip.h"
#include "editor/NextLedMarker.h"
#include "editor/View.h"
#include "editor/tools/DrawStripTool.h"
#include "editor/tools/EditGridTool.h"
#include "editor/tools/SelectTool.h"
#include "editor/tools/WireByClickingTool.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <ostream>

// Readable points, rectangles and texts in failure messages.
inline void PrintTo(const QPointF &p, std::ostream *os)
{
    *os << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRectF &r, std::ostream *os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

/// A View of 1024 × 768 pixels, so widget and layout units agree (y flipped), with its own
/// undo manager.
struct ViewFixture {
    lumora::DocumentModel model;
    lumora::UndoManager &undo = *model.undoManager();
    /// The count or spacing Draw Strip uses (and +/− change), as the window keeps it.
    lumora::StripPlacement stripPlacement;
    std::unique_ptr<lumora::View> view = std::make_unique<lumora::View>(&model);
    /// Another widget of the window.
    QWidget elsewhere;

    ViewFixture()
    {
        view->resize(1024, 768);
        view->show();
    }

    /// Starts Draw Strip over the current mode.
    void drawStrip(lumora::StripPlacement placement, bool snap)
    {
        stripPlacement = placement;
        view->startTool(std::make_unique<lumora::DrawStripTool>(*view, stripPlacement, snap));
    }
    /// The widget position of a layout point.
    QPoint at(QPointF layout) const { return view->widgetPoint(layout).toPoint(); }

    void press(QPointF p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(view.get(), Qt::LeftButton, m, at(p)); }
    void release(QPointF p, Qt::KeyboardModifiers m = {}) { QTest::mouseRelease(view.get(), Qt::LeftButton, m, at(p)); }
    void drag(QPointF p)
    {
        QMouseEvent move(QEvent::MouseMove, at(p), view->mapToGlobal(at(p)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(view.get(), &move);
    }
    void click(QPointF p, Qt::KeyboardModifiers m = {})
    {
        press(p, m);
        release(p, m);
    }
    /// Press at one point, one drag step to the other, release there.
    void pressDragRelease(QPointF from, QPointF to, Qt::KeyboardModifiers m = {})
    {
        press(from, m);
        drag(to);
        release(to, m);
    }
    /// Ends the current user event, closing the undo step.
    void endEvent() { undo.endGrouping(); }

    /// Places the three grid handles the way the document loader does (no undo).
    void makeGrid(QPointF origin, QPointF x, QPointF y)
    {
        view->model()->addOrigin(origin);
        view->model()->addX(x);
        view->addY(y);
    }
    /// A new LED, committed as its own undo step.
    lumora::NodePtr led(QPointF p)
    {
        lumora::NodePtr node = view->addVertex(p);
        endEvent();
        return node;
    }
    /// Holds the Option key down, as the view and a click elsewhere in the window (the
    /// toolbar, say) see it.
    void holdOption()
    {
        QTest::keyPress(view.get(), Qt::Key_Alt);
        QTest::mouseClick(&elsewhere, Qt::LeftButton, Qt::AltModifier);
    }
    /// Lets go of every modifier key, so that the view and later operations that read the
    /// keyboard state see none held.
    void releaseModifiers()
    {
        // A modifier key's own event reports the state after it, so each release names
        // the key that is going up.
        QTest::keyRelease(view.get(), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(view.get(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyRelease(view.get(), Qt::Key_Shift, Qt::ShiftModifier);
        QTest::mouseClick(&elsewhere, Qt::LeftButton);
    }
};
