#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

namespace lumora {

class DocumentModel;
class ImageBrowserThumbnails;

/// The document model's strip of pictures as an item model: one row per picture URL, in
/// the order the document stores them, each showing the picture's thumbnail. Drops
/// (outside URLs inserted, or rows of the same strip moved) and deletions change the
/// document model's list; selection survives them because rows keep their identity. A
/// change the document model reports from elsewhere (opening, a picture dropped on the
/// layout) re-reads every row. Owned by the `ImageBrowserController`.
class ImageBrowserModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        /// A `ThumbnailState` telling whether the row's thumbnail is still on its way.
        ThumbnailStateRole = Qt::UserRole + 1,
        /// The URL as stored in the document.
        UrlRole,
    };

    /// Carries the rows of an internal drag, together with the model they came from.
    static constexpr const char *rowsMimeType = "application/x-lumora-strip-rows";

    /// `resolve` turns a stored URL into one that can be loaded.
    ImageBrowserModel(DocumentModel *document, std::function<QUrl(const QUrl &)> resolve,
                      QObject *parent = nullptr);
    ~ImageBrowserModel() override;

    const QList<QUrl> &urls() const;
    QUrl resolvedUrl(qsizetype row) const;

    /// Appends a picture (as a document being built does); reports no `imagesChanged`.
    void appendUrl(const QUrl &url);
    /// Re-reads every row, and retries thumbnails that could not be read before.
    void reload();
    /// Inserts the URLs in order starting at `index` (clamped to the list); false when
    /// there are none.
    bool insertUrls(const QList<QUrl> &urls, qsizetype index);
    /// Moves the rows together to the gap `destination`, counted before the move; indices
    /// out of range are ignored.
    void moveItemsAtIndexes(std::vector<qsizetype> indexes, qsizetype destination);
    void removeItemsAtIndexes(std::vector<qsizetype> indexes);

    /// True while the list is being changed, when selection changes come from the change
    /// itself rather than from the user.
    bool isChanging() const { return m_changing; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    /// The rows (for moves inside this strip) and their loadable URLs (for every other
    /// target, such as the layout editor).
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    /// Rows of this strip move to the gap `row`; any other URLs are inserted there. A row
    /// of -1 means the end. False when the data carries neither.
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    /// The list changed by a drop, a move or a deletion.
    void imagesChanged();
    /// The document model's list changed from elsewhere and every row was read again.
    void reloaded();

private:
    /// The rows of an internal drag when it came from this model.
    std::optional<std::vector<qsizetype>> ownRows(const QMimeData *data) const;
    void thumbnailReady(const QUrl &resolved);

    DocumentModel *m_document;
    std::function<QUrl(const QUrl &)> m_resolve;
    ImageBrowserThumbnails *m_thumbnails;
    bool m_changing = false;
};

} // namespace lumora
