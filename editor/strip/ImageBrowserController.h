#pragma once

#include <QImage>
#include <QList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <vector>

namespace lumora {

class DocumentModel;
class ImageBrowserModel;
class ImageBrowserView;

/// The strip of background pictures of a document window. It shows the document model's
/// picture URLs in the order the document stores and exports them, takes files dropped on
/// it at the drop position, reorders thumbnails dragged inside it and removes the selected
/// ones on Delete, all as changes of the model. Selecting thumbnails makes the last
/// selected one in strip order the background. Owned by the document window. Changes of
/// the list register no undo.
class ImageBrowserController : public QWidget {
    Q_OBJECT
public:
    /// `resolve` turns a URL as stored in the document (possibly relative to the
    /// document's folder) into one that can be loaded.
    ImageBrowserController(DocumentModel *document, std::function<QUrl(const QUrl &)> resolve,
                           QWidget *parent = nullptr);
    ~ImageBrowserController() override;

    /// Appends a picture while the document loads; unlike the user's changes this does
    /// not report `imagesChanged`.
    void addURL(const QUrl &url);
    /// Re-reads the whole list; pictures that could not be read before are tried again.
    void reloadData();
    /// The pictures in strip order, as stored in the document.
    QList<QUrl> urls() const;

    qsizetype bitmapCount() const;
    /// Picture i, from the document's pictures; a null image when it cannot be decoded or
    /// has no width.
    QImage bitmap(qsizetype index) const;

    /// Back to the largest thumbnails (zoom 1).
    void resize();
    using QWidget::resize;
    double zoomValue() const;
    void setZoomValue(double zoom);

    /// Moves the pictures at the indices together to the gap `destination`, counted in
    /// the list before the move, in their present order. Always true.
    bool moveItemsAtIndexes(std::vector<qsizetype> indexes, qsizetype destination);
    /// Leaves the layout editor's background as it is, even when it shows one of them.
    void removeItemsAtIndexes(std::vector<qsizetype> indexes);
    /// A drop: the URLs go in at `index`, `index` + 1, … in the order given; any URL is
    /// taken. False (and nothing changes) when there are none.
    bool insertUrls(const QList<QUrl> &urls, qsizetype index);

    /// The selection changed: the background becomes the selected picture furthest along
    /// the strip (none when nothing is selected). When that picture is the background
    /// already (a rubber band growing behind it), nothing is decoded again and no undo step
    /// is recorded.
    void selectionDidChange();
    /// Selects the row that shows the background, without changing it.
    void selectBackgroundRow();

    /// The thumbnail list itself (selection, drop positions).
    ImageBrowserView *imageBrowser() const { return m_imageBrowser; }
    ImageBrowserModel *model() const { return m_model; }

signals:
    /// The list changed by a drop, a move or a deletion.
    void imagesChanged();
    /// Something to tell in the window's status bar (a picture that cannot be shown).
    void statusMessage(const QString &message);

private:
    DocumentModel *m_document;
    bool m_selectingBackground = false;
    std::function<QUrl(const QUrl &)> m_resolve;
    ImageBrowserModel *m_model;
    ImageBrowserView *m_imageBrowser;
};

} // namespace lumora
