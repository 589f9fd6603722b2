#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

namespace lumora {

class ImageBrowserThumbnails;

/// The pictures of a document's strip as a list of URLs, in the order the document stores
/// them. Each row shows the picture's thumbnail. The list changes by appending while a
/// document loads, by drops (outside URLs inserted, or rows of the same strip moved) and
/// by deletion; selection survives every change because rows keep their identity.
/// Owned by the `ImageBrowserController`.
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
    explicit ImageBrowserModel(std::function<QUrl(const QUrl &)> resolve, QObject *parent = nullptr);
    ~ImageBrowserModel() override;

    const QList<QUrl> &urls() const { return m_urls; }
    QUrl resolvedUrl(qsizetype row) const;

    /// Appends while a document loads; reports no change of the document.
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
    /// The list changed by a drop, a move or a deletion; the document saves it.
    void imagesChanged();

private:
    /// The rows of an internal drag when it came from this model.
    std::optional<std::vector<qsizetype>> ownRows(const QMimeData *data) const;
    void thumbnailReady(const QUrl &resolved);

    std::function<QUrl(const QUrl &)> m_resolve;
    QList<QUrl> m_urls;
    ImageBrowserThumbnails *m_thumbnails;
    bool m_changing = false;
};

} // namespace lumora
