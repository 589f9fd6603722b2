#pragma once

#include <QListView>
#include <QTimer>

#include <vector>

namespace lumora {

class ImageBrowserModel;

/// The strip of thumbnails on a black ground, in reading order, as large as the strip is
/// wide at zoom 1. Drops land in the gap under the mouse, marked by a bar; thumbnails
/// dragged inside the strip move there. Delete or Backspace asks to remove the selected
/// thumbnails. Ctrl + wheel zooms. Owned by the `ImageBrowserController`.
class ImageBrowserView : public QListView {
    Q_OBJECT
public:
    explicit ImageBrowserView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    /// The gap a drop at this viewport position lands in: 0 in front of the first
    /// thumbnail, the count behind the last.
    qsizetype dropIndexAt(QPoint position) const;

    /// 1 shows the largest thumbnails, as wide as the strip; smaller values show more.
    double zoomValue() const { return m_zoom; }
    void setZoomValue(double zoom);

    /// The selected rows, lowest first.
    std::vector<qsizetype> selectedRows() const;

signals:
    /// Delete or Backspace with thumbnails selected.
    void removeRequested(const std::vector<qsizetype> &rows);
    /// "Relink Picture…" from the context menu of a thumbnail.
    void relinkRequested(qsizetype row);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    /// URLs from anywhere, or thumbnails of this strip.
    bool canDrop(const QMimeData *data) const;
    void updateIconSize();
    void setDropGap(qsizetype gap);
    void autoScroll();
    bool isSingleColumn() const;
    static bool isRemoveKey(int key);

    double m_zoom = 1.0;
    qsizetype m_dropGap = -1;
    QPoint m_dragPosition;
    QTimer m_autoScrollTimer;
};

} // namespace lumora
