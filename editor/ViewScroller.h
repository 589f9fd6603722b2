#pragma once

#include <QWidget>

class QScrollBar;

namespace lumora {

class View;

/// The layout editor with scroll bars: they show while the view is zoomed in and pan it,
/// and follow every other pan and zoom. The document window holds the editor in one.
class ViewScroller : public QWidget {
    Q_OBJECT
public:
    explicit ViewScroller(View *view, QWidget *parent = nullptr);

    View *view() const { return m_view; }
    QScrollBar *horizontalBar() const { return m_horizontal; }
    QScrollBar *verticalBar() const { return m_vertical; }

private:
    /// Ranges, page steps and positions from the view's zoom and centre.
    void updateBars();
    /// The view's centre from the bars' positions.
    void barsMoved();

    View *m_view;
    QScrollBar *m_horizontal;
    QScrollBar *m_vertical;
    bool m_updating = false;
};

} // namespace lumora
