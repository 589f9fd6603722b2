#pragma once

#include "editor/UndoManager.h"
#include "editor/View.h"

#include <QApplication>
#include <QTest>

#include <memory>

/// A View of 1024 × 768 pixels, so widget and layout units agree (y flipped), with its own
/// undo manager.
struct ViewFixture {
    lumora::UndoManager undo;
    std::unique_ptr<lumora::View> view = std::make_unique<lumora::View>(&undo);

    ViewFixture()
    {
        view->resize(1024, 768);
        view->show();
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
    /// Ends the current user event, closing the undo step.
    void endEvent() { undo.endGrouping(); }
};
