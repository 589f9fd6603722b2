#include "PatternPanel.h"

#include "Application.h"
#include "MyPatterns.h"

#include "common/ColorBytes.h"
#include "document/DocumentModel.h"
#include "document/GridFit.h"
#include "document/LedSpacing.h"
#include "colors/PatternColorSource.h"
#include "colors/PreviewClock.h"
#include "patterns/framework/ColorPattern.h"

#include <QAction>
#include <QFileInfo>
#include <QDateTime>
#include <QTimeZone>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace lumora {

namespace {
/// The file of a row of My Patterns.
constexpr int userFileRole = Qt::UserRole + 1;
/// Enough LEDs for a thumbnail to show the pattern; more cost time and show nothing new.
constexpr qsizetype maxThumbnailLeds = 400;
/// A refresh's share of the GUI thread.
constexpr qint64 budgetMs = 8;

} // namespace

PatternPanel::PatternPanel(Application *application, DocumentModel *model, QWidget *parent)
    : QWidget(parent), m_application(application), m_model(model), m_search(new QLineEdit(this)),
      m_list(new QListWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_search->setPlaceholderText(tr("Search patterns"));
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    layout->addWidget(m_list);
    m_list->setIconSize(thumbnailSize);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    const QList<QAction *> actions = application->patternActions();
    for (QAction *action : actions) {
        QImage blank(thumbnailSize, QImage::Format_RGB32);
        blank.fill(Qt::black);
        auto *item = new QListWidgetItem(QIcon(QPixmap::fromImage(blank)), action->text(), m_list);
        item->setData(Qt::UserRole, action->data());
    }
    m_builtInRows = m_list->count();
    connect(m_search, &QLineEdit::textChanged, this, &PatternPanel::filter);
    // Choosing here is choosing in the menu.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (const QString file = item->data(userFileRole).toString(); !file.isEmpty()) {
            for (QAction *action : m_application->myPatterns()->actions())
                if (action->data().toString() == file)
                    action->trigger();
            return;
        }
        const int index = item->data(Qt::UserRole).toInt();
        const QList<QAction *> actions = m_application->patternActions();
        if (index >= 0 && index < actions.size())
            actions[index]->trigger();
    });
    connect(application, &Application::statusChanged, this, &PatternPanel::showCurrent);
    if (MyPatterns *mine = application->myPatterns()) {
        fillMyPatterns();
        connect(mine, &MyPatterns::listChanged, this, &PatternPanel::fillMyPatterns);
        connect(mine, &MyPatterns::currentChanged, this, [this] { showCurrent(m_application->status()); });
    }
    showCurrent(application->status());

    for (auto signal : {&DocumentModel::ledsChanged, &DocumentModel::ledsMoved, &DocumentModel::gridChanged,
                        &DocumentModel::loaded, &DocumentModel::backgroundChanged})
        connect(model, signal, this, [this] { m_geometryStale = true; });
    m_timer.setInterval(250);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (isVisible())
            refreshThumbnails();
    });
    m_timer.start();
}

QStringList PatternPanel::shownPatterns() const
{
    QStringList names;
    for (int row = 0; row < m_list->count(); ++row)
        if (!m_list->item(row)->isHidden())
            names.append(m_list->item(row)->text());
    return names;
}

void PatternPanel::filter(const QString &text)
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        item->setHidden(!item->text().contains(text.trimmed(), Qt::CaseInsensitive));
    }
}

void PatternPanel::fillMyPatterns()
{
    while (m_list->count() > m_builtInRows)
        delete m_list->takeItem(m_list->count() - 1);
    m_userRuns.clear();
    const QStringList files = m_application->myPatterns()->library().files();
    if (files.isEmpty())
        return;
    auto *header = new QListWidgetItem(tr("My Patterns"), m_list);
    header->setFlags(Qt::NoItemFlags);
    header->setData(Qt::UserRole, -1);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    for (const QString &file : files) {
        QImage blank(thumbnailSize, QImage::Format_RGB32);
        blank.fill(Qt::black);
        auto *item = new QListWidgetItem(QIcon(QPixmap::fromImage(blank)), QFileInfo(file).completeBaseName(), m_list);
        item->setData(Qt::UserRole, -1);
        item->setData(userFileRole, file);
        item->setToolTip(file);
    }
    filter(m_search->text());
    showCurrent(m_application->status());
}

void PatternPanel::showCurrent(int index)
{
    m_list->clearSelection();
    if (const QString file = m_application->myPatterns() ? m_application->myPatterns()->currentFile() : QString();
        !file.isEmpty()) {
        for (int row = m_builtInRows; row < m_list->count(); ++row)
            if (m_list->item(row)->data(userFileRole).toString() == file) {
                m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
                m_list->scrollToItem(m_list->item(row));
            }
        return;
    }
    if (index < 0 || index >= m_list->count())
        return;
    m_list->item(index)->setSelected(true);
    m_list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollToItem(m_list->item(index));
}

void PatternPanel::updateGeometry()
{
    m_geometryStale = false;
    QList<QPointF> positions = m_model->ledPositions();
    if (positions.isEmpty()) {
        // An empty layout shows the patterns on a small lattice rather than nothing.
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 12; ++x)
                positions.append(QPointF(350 + x * 30, 260 + y * 30));
    }
    const qsizetype stride = (positions.size() + maxThumbnailLeds - 1) / maxThumbnailLeds;
    QList<QPointF> sample;
    for (qsizetype i = 0; i < positions.size(); i += stride) {
        sample.append(positions[i]);
    }

    // The preview's grid, or one fitted to the LEDs when there is none yet.
    const GridTransform grid = m_model->transform().value_or(GridTransform(fitGrid(sample)));
    const auto inverse = grid.inverted().value_or(GridTransform(fitGrid(sample)).inverted().value());
    m_samplePositions = sample;
    m_userRuns.clear();
    m_gridPoints.clear();
    for (const QPointF &p : sample)
        m_gridPoints.append(inverse.map(p));
    const PicturePtr background = m_model->background();
    m_pixels = FrameContext::pixelSource(background && background->isDecoded() ? background->bitmap() : nullptr,
                                         m_model->snapshot().boundingBox());

    // The LEDs' box fitted into the thumbnail, y up.
    const QRectF box = pointsBox(sample);
    const double margin = 4;
    const double w = thumbnailSize.width() - 2 * margin, h = thumbnailSize.height() - 2 * margin;
    const double k = std::min(box.width() > 0 ? w / box.width() : 1e9, box.height() > 0 ? h / box.height() : 1e9);
    const double scale = k < 1e9 ? k : 1;
    m_thumbnailPoints.clear();
    for (const QPointF &p : sample)
        m_thumbnailPoints.append(QPointF(thumbnailSize.width() / 2.0 + (p.x() - box.center().x()) * scale,
                                         thumbnailSize.height() / 2.0 - (p.y() - box.center().y()) * scale));
    const double spacing = typicalSpacing(sample) * scale;
    m_dotRadius = spacing > 0 ? std::clamp(spacing * 0.45, 1.0, 4.0) : 3.0;
}

QImage PatternPanel::thumbnail(int patternIndex) const
{
    QImage image(thumbnailSize, QImage::Format_RGB32);
    image.fill(QColor(20, 20, 20));
    const ColorPattern *pattern = patternIndex < 0 ? nullptr : m_application->patterns().at(std::size_t(patternIndex));
    if (!pattern)
        return image;
    // The frame the editor's preview shows at this moment, for the sampled LEDs; the Image
    // pattern samples this layout's picture.
    FrameContext context;
    context.time = PreviewClock::now();
    context.grid = m_gridPoints;
    context.pixels = m_pixels;
    std::vector<PixelColor> colors(m_gridPoints.size());
    PatternColorSource(*pattern, true).colors(context, colors);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (qsizetype i = 0; i < m_gridPoints.size(); ++i) {
        const PixelColor p = limitedColor(colors[i].red, colors[i].green, colors[i].blue);
        painter.setBrush(QColor::fromRgbF(float(p.red), float(p.green), float(p.blue)));
        painter.drawEllipse(m_thumbnailPoints[i], m_dotRadius, m_dotRadius);
    }
    return image;
}

QImage PatternPanel::userThumbnail(const QString &file)
{
    QImage image(thumbnailSize, QImage::Format_RGB32);
    image.fill(QColor(20, 20, 20));
    std::shared_ptr<UserThumbnail> &entry = m_userRuns[file];
    if (!entry) {
        entry = std::make_shared<UserThumbnail>();
        QStringList errors;
        if (const std::optional<UserPattern> pattern = UserPattern::load(file, errors))
            entry->run = std::make_unique<UserPatternRun>(*pattern, m_samplePositions);
        else
            entry->failed = true;
        entry->clock.start();
    }
    if (entry->failed || !entry->run)
        return image;
    paintDots(image, entry->run->nextFrame(double(entry->clock.restart())));
    return image;
}

void PatternPanel::paintDots(QImage &image, const QByteArray &rgb) const
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (qsizetype i = 0; i < m_thumbnailPoints.size() && 3 * i + 2 < rgb.size(); ++i) {
        painter.setBrush(QColor(quint8(rgb[3 * i]), quint8(rgb[3 * i + 1]), quint8(rgb[3 * i + 2])));
        painter.drawEllipse(m_thumbnailPoints[i], m_dotRadius, m_dotRadius);
    }
}

void PatternPanel::refreshThumbnails()
{
    if (m_geometryStale)
        updateGeometry();
    const int count = m_list->count();
    if (count == 0)
        return;
    QElapsedTimer clock;
    clock.start();
    const QRect viewport = m_list->viewport()->rect();
    // One pass over the list at most, starting where the last refresh stopped.
    for (int visited = 0; visited < count && clock.elapsed() < budgetMs; ++visited) {
        const int row = m_next;
        m_next = (m_next + 1) % count;
        QListWidgetItem *item = m_list->item(row);
        if (item->isHidden() || !m_list->visualItemRect(item).intersects(viewport))
            continue;
        if (const QString file = item->data(userFileRole).toString(); !file.isEmpty())
            item->setIcon(QIcon(QPixmap::fromImage(userThumbnail(file))));
        else if (row < m_builtInRows)
            item->setIcon(QIcon(QPixmap::fromImage(thumbnail(item->data(Qt::UserRole).toInt()))));
    }
}

} // namespace lumora
