#pragma once

#include "editor/timeline/AnimationEditorView.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable texts and points in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRectF &r, std::ostream *os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline void PrintTo(const QColor &c, std::ostream *os)
{
    *os << c.name(QColor::HexArgb).toStdString();
}

/// A layout editor with one LED per frame (LED k lit in frame k) and the timeline beside it
/// in a scroll area, wired the way the document window wires them.
struct TimelineFixture {
    lumora::DocumentModel model;
    lumora::UndoManager &undo = *model.undoManager();
    lumora::View view{&model};
    QScrollArea area;
    lumora::AnimationEditorView *timeline = new lumora::AnimationEditorView(&model);
    std::shared_ptr<lumora::AnimationEditor> editor = model.animationEditor();
    /// The frames in the order they were made; order() names frames by their place here.
    QList<lumora::FramePtr> made;

    explicit TimelineFixture(int frames, int viewportHeight = 600)
    {
        undo.disableUndoRegistration();
        for (int k = 0; k < frames; ++k) {
            view.addVertex(QPointF(100 + 120 * (k % 7), 100 + 90 * (k / 7)));
            auto frame = std::make_shared<lumora::AnimationFrame>();
            frame->selection = QList<bool>(frames, false);
            frame->selection[k] = true;
            editor->track().frames.append(frame);
            made.append(frame);
        }
        undo.enableUndoRegistration();
        area.setWidget(timeline);
        area.setWidgetResizable(true);
        area.resize(120, viewportHeight);
        timeline->setAnimationEditor(editor);
        area.show();
        QCoreApplication::processEvents();
    }

    QList<lumora::FramePtr> &frames() { return editor->track().frames; }

    /// The frames' original indices in their current order, as "0 3 4 1 2 5".
    QString order()
    {
        QStringList names;
        for (const lumora::FramePtr &frame : frames())
            names.append(QString::number(made.indexOf(frame)));
        return names.join(' ');
    }
    /// The current indices of the selected frames, as "1 2".
    QString selected()
    {
        QStringList names;
        for (qsizetype i = 0; i < frames().size(); ++i)
            if (frames()[i]->selected)
                names.append(QString::number(i));
        return names.join(' ');
    }
    /// Selects exactly the frames at the given indices and makes `current` current.
    void select(const QList<int> &indices, qint64 current)
    {
        for (qsizetype i = 0; i < frames().size(); ++i)
            frames()[i]->selected = indices.contains(int(i));
        editor->setSelectedFrame(current);
        timeline->updateAnimationEditorView();
    }

    static QPoint centre(int index) { return QPoint(42, 64 * index + 32); }

    void press(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(timeline, Qt::LeftButton, m, p); }
    void release(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mouseRelease(timeline, Qt::LeftButton, m, p); }
    void drag(QPoint p, Qt::KeyboardModifiers m = {})
    {
        QMouseEvent move(QEvent::MouseMove, p, timeline->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, m);
        QApplication::sendEvent(timeline, &move);
    }
    void click(QPoint p, Qt::KeyboardModifiers m = {})
    {
        press(p, m);
        release(p, m);
        undo.endGrouping();
    }
    /// Press, drag through the points, release at the last; one user event for undo.
    void dragThrough(QPoint from, const QList<QPoint> &through, Qt::KeyboardModifiers m = {})
    {
        press(from, m);
        for (QPoint p : through)
            drag(p, m);
        release(through.last(), m);
        undo.endGrouping();
    }

    /// Every thumbnail shows its own frame and rests in its slot.
    void expectThumbnailsAligned()
    {
        waitForImages();
        ASSERT_EQ(timeline->thumbnailCount(), frames().size());
        EXPECT_EQ(timeline->height(), 64 * frames().size());
        for (qsizetype i = 0; i < frames().size(); ++i) {
            EXPECT_EQ(timeline->thumbnailRect(i), QRectF(10, 64 * i + 8, 64, 48)) << "thumbnail " << i;
            EXPECT_TRUE(timeline->thumbnailImage(i) == timeline->createImage(i)) << "thumbnail " << i;
        }
    }

    /// Lets background work and queued calls run until the condition holds (5 s at most).
    static bool waitUntil(const std::function<bool()> &condition)
    {
        for (int i = 0; i < 500 && !condition(); ++i)
            QTest::qWait(10);
        return condition();
    }
    void waitForImages()
    {
        ASSERT_TRUE(waitUntil([this] { return !timeline->isRenderingImages(); }));
        QCoreApplication::processEvents();
    }
};
