#include "ImageBrowserController.h"

#include "ImageBrowserModel.h"
#include "ImageBrowserView.h"

#include "pictures/PictureCache.h"
#include "document/DocumentModel.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QVBoxLayout>

namespace lumora {

ImageBrowserController::ImageBrowserController(DocumentModel *document, std::function<QUrl(const QUrl &)> resolve,
                                               QWidget *parent)
    : QWidget(parent)
    , m_document(document)
    , m_resolve(std::move(resolve))
    , m_model(new ImageBrowserModel(document, m_resolve, this))
    , m_imageBrowser(new ImageBrowserView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_imageBrowser);

    m_imageBrowser->setModel(m_model);
    connect(m_imageBrowser->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // Rows going away or moving carry their selection along; only the user's own
        // selecting changes the background.
        if (!m_model->isChanging() && !m_selectingBackground)
            selectionDidChange();
    });
    connect(m_model, &ImageBrowserModel::reloaded, this, &ImageBrowserController::selectBackgroundRow);
    connect(m_imageBrowser, &ImageBrowserView::removeRequested, this, &ImageBrowserController::removeItemsAtIndexes);
    connect(m_model, &ImageBrowserModel::imagesChanged, this, &ImageBrowserController::imagesChanged);
}

ImageBrowserController::~ImageBrowserController()
{
    // The children outlive this part of the object; what they report while going away
    // must not reach it.
    if (QItemSelectionModel *selection = m_imageBrowser->selectionModel())
        selection->disconnect(this);
    m_imageBrowser->disconnect(this);
    m_model->disconnect(this);
}

void ImageBrowserController::addURL(const QUrl &url)
{
    m_model->appendUrl(url);
}

void ImageBrowserController::reloadData()
{
    m_model->reload();
}

QList<QUrl> ImageBrowserController::urls() const
{
    return m_model->urls();
}

qsizetype ImageBrowserController::bitmapCount() const
{
    return m_model->urls().size();
}

QImage ImageBrowserController::bitmap(qsizetype index) const
{
    const QUrl url = m_model->resolvedUrl(index);
    if (!url.isLocalFile())
        return {};
    QImage image = m_document->pictures()->picture(url)->image();
    return image.width() == 0 ? QImage() : image;
}

void ImageBrowserController::resize()
{
    m_imageBrowser->setZoomValue(1.0);
}

double ImageBrowserController::zoomValue() const
{
    return m_imageBrowser->zoomValue();
}

void ImageBrowserController::setZoomValue(double zoom)
{
    m_imageBrowser->setZoomValue(zoom);
}

bool ImageBrowserController::moveItemsAtIndexes(std::vector<qsizetype> indexes, qsizetype destination)
{
    m_model->moveItemsAtIndexes(std::move(indexes), destination);
    return true;
}

void ImageBrowserController::removeItemsAtIndexes(std::vector<qsizetype> indexes)
{
    m_model->removeItemsAtIndexes(std::move(indexes));
}

bool ImageBrowserController::insertUrls(const QList<QUrl> &urls, qsizetype index)
{
    return m_model->insertUrls(urls, index);
}

void ImageBrowserController::selectionDidChange()
{
    const std::vector<qsizetype> rows = m_imageBrowser->selectedRows();
    const QUrl url = rows.empty() ? QUrl() : m_model->resolvedUrl(rows.back());
    if (!url.isEmpty() && url == m_document->backgroundUrl() && m_document->background())
        return;
    // Judged from the header; the pixels decode off this thread, once per file.
    const QString refusal = url.isLocalFile() ? pictureRefusal(url.toLocalFile()) : QString();
    const PicturePtr picture = url.isLocalFile() && refusal.isEmpty() ? m_document->pictures()->picture(url) : nullptr;
    // A missing file is told once when the document opens, with the way to relink it.
    if (!refusal.isEmpty() && QFileInfo::exists(url.toLocalFile()))
        emit statusMessage(refusal);
    m_document->setBackground(picture, picture ? url : QUrl());
}

void ImageBrowserController::selectBackgroundRow()
{
    QItemSelectionModel *selection = m_imageBrowser->selectionModel();
    const QUrl background = m_document->backgroundUrl();
    m_selectingBackground = true;
    selection->clearSelection();
    for (qsizetype row = 0; !background.isEmpty() && row < m_model->urls().size(); ++row) {
        if (m_model->resolvedUrl(row) == background) {
            const QModelIndex index = m_model->index(int(row));
            selection->select(index, QItemSelectionModel::ClearAndSelect);
            selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        }
    }
    m_selectingBackground = false;
}

} // namespace lumora
