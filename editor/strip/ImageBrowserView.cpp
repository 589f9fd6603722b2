#include "ImageBrowserView.h"

#include "ImageBrowserThumbnails.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

/// Room between neighbouring cells, and between a thumbnail and its selection frame.
constexpr int margin = 12;
constexpr int padding = 4;
/// How close to the top or bottom edge a drag scrolls the strip.
constexpr int scrollZone = 24;

/// Draws a thumbnail centred in its cell, on a rounded frame while selected; there is no
/// caption, so the style's text-bound selection would not show.
class ThumbnailDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return option.decorationSize + QSize(2 * padding, 2 * padding);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) {
            const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
            painter->setPen(Qt::NoPen);
            painter->setBrush(option.palette.color(group, QPalette::Highlight));
            painter->drawRoundedRect(QRectF(option.rect), padding * 1.5, padding * 1.5);
        }
        QRect box(QPoint(), option.decorationSize);
        box.moveCenter(option.rect.center());
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        icon.paint(painter, box, Qt::AlignCenter);
        painter->restore();
    }
};

} // namespace

ImageBrowserView::ImageBrowserView(QWidget *parent)
    : QListView(parent)
{
    setViewMode(IconMode);
    setFlow(LeftToRight);
    setWrapping(true);
    setResizeMode(Adjust);
    setUniformItemSizes(true);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Static keeps the thumbnails in reading order: the strip's order is the document's.
    // It also switches dragging off, so switch it on again afterwards; the drops are
    // handled here.
    setMovement(Static);
    setDragDropMode(DragDrop);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setItemDelegate(new ThumbnailDelegate(this));

    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    setPalette(palette);

    m_autoScrollTimer.setInterval(40);
    connect(&m_autoScrollTimer, &QTimer::timeout, this, &ImageBrowserView::autoScroll);
    updateIconSize();
}

void ImageBrowserView::setModel(QAbstractItemModel *model)
{
    QListView::setModel(model);
    updateIconSize();
}

void ImageBrowserView::setZoomValue(double zoom)
{
    m_zoom = std::clamp(zoom, 0.2, 1.0);
    updateIconSize();
}

void ImageBrowserView::updateIconSize()
{
    // The scroll bar is always allowed for, so that its coming and going cannot make the
    // thumbnails change size back and forth.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int available = width() - 2 * frameWidth() - scrollBar - 2 * margin;
    const int largest = std::clamp(available, 32, ImageBrowserThumbnails::side);
    const int side = std::max(24, int(std::lround(m_zoom * largest)));
    if (iconSize() == QSize(side, side) && gridSize() == QSize(side + margin, side + margin))
        return;
    setIconSize(QSize(side, side));
    setGridSize(QSize(side + margin, side + margin));
}

std::vector<qsizetype> ImageBrowserView::selectedRows() const
{
    std::vector<qsizetype> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool ImageBrowserView::isSingleColumn() const
{
    const int count = model() ? model()->rowCount(rootIndex()) : 0;
    if (count >= 2)
        return visualRect(model()->index(1, 0, rootIndex())).top() > visualRect(model()->index(0, 0, rootIndex())).top();
    return viewport()->width() < 2 * gridSize().width();
}

qsizetype ImageBrowserView::dropIndexAt(QPoint position) const
{
    const int count = model() ? model()->rowCount(rootIndex()) : 0;
    const bool singleColumn = isSingleColumn();
    // Thumbnails run in reading order: the gap is in front of the first thumbnail that
    // lies after the position, by its upper half in a single column and by its left half
    // within a line otherwise.
    for (int row = 0; row < count; ++row) {
        const QRect rect = visualRect(model()->index(row, 0, rootIndex()));
        const bool after = singleColumn
            ? position.y() < rect.center().y()
            : position.y() < rect.top() || (position.y() <= rect.bottom() && position.x() < rect.center().x());
        if (after)
            return row;
    }
    return count;
}

bool ImageBrowserView::isRemoveKey(int key)
{
    return key == Qt::Key_Delete || key == Qt::Key_Backspace;
}

bool ImageBrowserView::event(QEvent *event)
{
    // The window's own Delete command (removing LEDs) must not take the key while the
    // strip has the focus and something to delete.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isRemoveKey(key->key()) && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && selectionModel() && selectionModel()->hasSelection()) {
            event->accept();
            return true;
        }
    }
    return QListView::event(event);
}

void ImageBrowserView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid())
        return;
    QMenu menu(this);
    const qsizetype row = index.row();
    menu.addAction(tr("Relink Picture…"), this, [this, row] { emit relinkRequested(row); });
    menu.exec(event->globalPos());
}

void ImageBrowserView::keyPressEvent(QKeyEvent *event)
{
    if (isRemoveKey(event->key()) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const std::vector<qsizetype> rows = selectedRows();
        if (!rows.empty())
            emit removeRequested(rows);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ImageBrowserView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        setZoomValue(m_zoom * std::pow(1.1, event->angleDelta().y() / 120.0));
        event->accept();
        return;
    }
    QListView::wheelEvent(event);
}

void ImageBrowserView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    updateIconSize();
}

void ImageBrowserView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    const int count = model() ? model()->rowCount(rootIndex()) : 0;
    if (m_dropGap < 0 || count == 0)
        return;

    // A bar in the gap the drop would land in.
    const bool behind = m_dropGap >= count;
    const QRect rect = visualRect(model()->index(int(behind ? count - 1 : m_dropGap), 0, rootIndex()));
    const int inset = (margin - 2 * padding) / 2;
    QLine bar;
    if (isSingleColumn()) {
        const int y = behind ? rect.bottom() + inset : rect.top() - inset;
        bar = QLine(rect.left(), y, rect.right(), y);
    } else {
        const int x = behind ? rect.right() + inset : rect.left() - inset;
        bar = QLine(x, rect.top(), x, rect.bottom());
    }
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(bar);
}

void ImageBrowserView::startDrag(Qt::DropActions)
{
    const QModelIndexList indexes = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (indexes.isEmpty())
        return;
    QMimeData *data = model()->mimeData(indexes);
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    const QIcon icon = model()->data(indexes.first(), Qt::DecorationRole).value<QIcon>();
    const int side = std::min(iconSize().width(), 96);
    const QPixmap pixmap = icon.pixmap(QSize(side, side), devicePixelRatioF());
    if (!pixmap.isNull()) {
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(pixmap.width(), pixmap.height()) / (2 * pixmap.devicePixelRatio()));
    }
    // Copy only: the URLs name the user's picture files, and no other program should be
    // invited to move them. Inside the strip a drop reorders whatever the action says.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

bool ImageBrowserView::canDrop(const QMimeData *data) const
{
    return model() && model()->canDropMimeData(data, Qt::CopyAction, -1, 0, rootIndex());
}

void ImageBrowserView::setDropGap(qsizetype gap)
{
    if (gap == m_dropGap)
        return;
    m_dropGap = gap;
    viewport()->update();
}

void ImageBrowserView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!canDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    m_dragPosition = event->position().toPoint();
    setDropGap(dropIndexAt(m_dragPosition));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ImageBrowserView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!canDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    m_dragPosition = event->position().toPoint();
    setDropGap(dropIndexAt(m_dragPosition));
    const bool nearEdge = m_dragPosition.y() < scrollZone || m_dragPosition.y() > viewport()->height() - scrollZone;
    if (nearEdge && !m_autoScrollTimer.isActive())
        m_autoScrollTimer.start();
    else if (!nearEdge)
        m_autoScrollTimer.stop();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ImageBrowserView::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_autoScrollTimer.stop();
    setDropGap(-1);
    event->accept();
}

void ImageBrowserView::dropEvent(QDropEvent *event)
{
    m_autoScrollTimer.stop();
    setDropGap(-1);
    const qsizetype gap = dropIndexAt(event->position().toPoint());
    if (model() && model()->dropMimeData(event->mimeData(), Qt::CopyAction, int(gap), 0, rootIndex())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ImageBrowserView::autoScroll()
{
    QScrollBar *bar = verticalScrollBar();
    const int step = std::max(8, gridSize().height() / 4);
    if (m_dragPosition.y() < scrollZone)
        bar->setValue(bar->value() - step);
    else if (m_dragPosition.y() > viewport()->height() - scrollZone)
        bar->setValue(bar->value() + step);
    else
        m_autoScrollTimer.stop();
    setDropGap(dropIndexAt(m_dragPosition));
}

} // namespace lumora
