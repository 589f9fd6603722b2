#include "ImageBrowserModel.h"

#include "ImageBrowserThumbnails.h"

#include "animation/ListMoves.h"
#include "pictures/PictureCache.h"
#include "document/DocumentModel.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QMimeData>

#include <algorithm>
#include <numeric>

namespace lumora {

namespace {

/// Clears the flag again however the change ends.
class ChangeScope {
public:
    explicit ChangeScope(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~ChangeScope() { m_flag = false; }

private:
    bool &m_flag;
};

} // namespace

ImageBrowserModel::ImageBrowserModel(DocumentModel *document, std::function<QUrl(const QUrl &)> resolve,
                                     QObject *parent)
    : QAbstractListModel(parent)
    , m_document(document)
    , m_resolve(std::move(resolve))
    , m_thumbnails(new ImageBrowserThumbnails(document->pictures(), this))
{
    connect(m_thumbnails, &ImageBrowserThumbnails::ready, this, &ImageBrowserModel::thumbnailReady);
    // A picture rewritten on disk gets a new thumbnail wherever the strip shows it.
    connect(m_document->pictures(), &PictureCache::reloaded, this, [this](const QUrl &file) {
        const QString changed = PictureCache::key(file);
        for (qsizetype row = 0; row < urls().size(); ++row) {
            const QUrl url = resolvedUrl(row);
            if (PictureCache::key(url) == changed) {
                m_thumbnails->forget(url);
                const QModelIndex at = index(int(row));
                emit dataChanged(at, at, {Qt::DecorationRole, ThumbnailStateRole});
            }
        }
    });
    connect(m_document, &DocumentModel::imagesChanged, this, [this] {
        if (m_changing)
            return;
        {
            ChangeScope scope(m_changing);
            beginResetModel();
            endResetModel();
        }
        emit reloaded();
    });
}

ImageBrowserModel::~ImageBrowserModel() = default;

const QList<QUrl> &ImageBrowserModel::urls() const
{
    return m_document->images();
}

QUrl ImageBrowserModel::resolvedUrl(qsizetype row) const
{
    if (row < 0 || row >= urls().size())
        return {};
    return m_resolve ? m_resolve(urls()[row]) : urls()[row];
}

void ImageBrowserModel::appendUrl(const QUrl &url)
{
    ChangeScope scope(m_changing);
    beginInsertRows({}, int(urls().size()), int(urls().size()));
    m_document->appendImage(url);
    endInsertRows();
}

void ImageBrowserModel::reload()
{
    ChangeScope scope(m_changing);
    beginResetModel();
    m_thumbnails->forgetMissing();
    endResetModel();
}

bool ImageBrowserModel::insertUrls(const QList<QUrl> &urls, qsizetype index)
{
    if (urls.isEmpty())
        return false;
    QList<QUrl> list = this->urls();
    if (index < 0 || index > list.size())
        index = list.size();
    {
        ChangeScope scope(m_changing);
        beginInsertRows({}, int(index), int(index + urls.size() - 1));
        for (qsizetype i = 0; i < urls.size(); ++i)
            list.insert(index + i, urls[i]);
        m_document->setImages(list);
        endInsertRows();
    }
    emit imagesChanged();
    return true;
}

void ImageBrowserModel::moveItemsAtIndexes(std::vector<qsizetype> indexes, qsizetype destination)
{
    // Move row numbers first: the result says both where every URL goes and where every
    // persistent index (the selection, the current item) has to follow.
    const QList<QUrl> &current = urls();
    QList<qsizetype> order(current.size());
    std::iota(order.begin(), order.end(), 0);
    lumora::moveItemsAtIndexes(order, std::move(indexes), destination);
    bool unchanged = true;
    for (qsizetype row = 0; row < order.size(); ++row)
        unchanged = unchanged && order[row] == row;
    if (unchanged)
        return;

    {
        ChangeScope scope(m_changing);
        emit layoutAboutToBeChanged();
        QList<int> newRow(order.size());
        QList<QUrl> urls;
        urls.reserve(order.size());
        for (qsizetype row = 0; row < order.size(); ++row) {
            newRow[order[row]] = int(row);
            urls.append(current[order[row]]);
        }
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        for (const QModelIndex &index : from)
            to.append(this->index(newRow[index.row()], index.column()));
        changePersistentIndexList(from, to);
        m_document->setImages(urls);
        emit layoutChanged();
    }
    emit imagesChanged();
}

void ImageBrowserModel::removeItemsAtIndexes(std::vector<qsizetype> indexes)
{
    std::sort(indexes.begin(), indexes.end(), std::greater<>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    bool removed = false;
    {
        ChangeScope scope(m_changing);
        for (qsizetype row : indexes) {
            if (row < 0 || row >= urls().size())
                continue;
            beginRemoveRows({}, int(row), int(row));
            QList<QUrl> list = urls();
            list.removeAt(row);
            m_document->setImages(list);
            endRemoveRows();
            removed = true;
        }
    }
    if (removed)
        emit imagesChanged();
}

int ImageBrowserModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(urls().size());
}

QVariant ImageBrowserModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= urls().size())
        return {};
    switch (role) {
    case Qt::DecorationRole:
        return m_thumbnails->icon(resolvedUrl(index.row()));
    case Qt::ToolTipRole: {
        const QUrl url = resolvedUrl(index.row());
        return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toDisplayString();
    }
    case ThumbnailStateRole: {
        const QUrl url = resolvedUrl(index.row());
        m_thumbnails->icon(url); // starts the load when nobody has asked yet
        return int(m_thumbnails->state(url));
    }
    case UrlRole:
        return urls()[index.row()];
    default:
        return {};
    }
}

Qt::ItemFlags ImageBrowserModel::flags(const QModelIndex &index) const
{
    // Drops land between thumbnails, never on one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions ImageBrowserModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions ImageBrowserModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

QStringList ImageBrowserModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list"), QString::fromLatin1(rowsMimeType)};
}

QMimeData *ImageBrowserModel::mimeData(const QModelIndexList &indexes) const
{
    QList<qint64> rows;
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.model() == this)
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream << qint64(QCoreApplication::applicationPid()) << quint64(reinterpret_cast<quintptr>(this)) << rows;

    QList<QUrl> urls;
    for (qint64 row : rows)
        urls.append(resolvedUrl(row));
    auto *data = new QMimeData;
    data->setUrls(urls);
    data->setData(QString::fromLatin1(rowsMimeType), payload);
    return data;
}

std::optional<std::vector<qsizetype>> ImageBrowserModel::ownRows(const QMimeData *data) const
{
    if (!data || !data->hasFormat(QString::fromLatin1(rowsMimeType)))
        return std::nullopt;
    QDataStream stream(data->data(QString::fromLatin1(rowsMimeType)));
    qint64 pid = 0;
    quint64 model = 0;
    QList<qint64> rows;
    stream >> pid >> model >> rows;
    if (stream.status() != QDataStream::Ok || pid != QCoreApplication::applicationPid()
        || model != quint64(reinterpret_cast<quintptr>(this)))
        return std::nullopt;
    return std::vector<qsizetype>(rows.begin(), rows.end());
}

bool ImageBrowserModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                        const QModelIndex &) const
{
    return data && (data->hasUrls() || ownRows(data));
}

bool ImageBrowserModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                     const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (!data)
        return false;
    if (parent.isValid())
        row = parent.row();
    const qsizetype gap = row < 0 ? urls().size() : row;
    // Thumbnails dragged inside the strip move, whatever modifier was held; from another
    // strip they arrive as plain URLs.
    if (const auto rows = ownRows(data)) {
        moveItemsAtIndexes(*rows, gap);
        return true;
    }
    return insertUrls(data->urls(), gap);
}

void ImageBrowserModel::thumbnailReady(const QUrl &resolved)
{
    for (qsizetype row = 0; row < urls().size(); ++row) {
        if (resolvedUrl(row) == resolved) {
            const QModelIndex at = index(int(row));
            emit dataChanged(at, at, {Qt::DecorationRole, ThumbnailStateRole});
        }
    }
}

} // namespace lumora
