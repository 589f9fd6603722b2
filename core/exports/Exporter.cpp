#include "Exporter.h"

#include "colors/FramesColorSource.h"
#include "colors/UserPattern.h"

#include "common/ColorBytes.h"
#include "document/DocumentReader.h"
#include "common/HeaderText.h"
#include "colors/PatternSources.h"
#include "common/SaveFile.h"

#include "patterns/framework/ColorPattern.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSet>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <vector>

namespace lumora {

namespace {

/// The PNG text key that marks a template written by this program.
const QString templateMarker = QStringLiteral("LumoraTemplate");

QByteArray ppmHeader(qsizetype width, qsizetype height)
{
    return "P6\n" + QByteArray::number(width) + ' ' + QByteArray::number(height) + "\n255\n";
}

} // namespace

void ExportReport::merge(const ExportReport &other)
{
    written += other.written;
    failures += other.failures;
    warnings += other.warnings;
    unchanged += other.unchanged;
    cancelled = cancelled || other.cancelled;
}

QString ExportReport::mixSummary() const
{
    if (failures.isEmpty())
        return {};
    QStringList fresh, old, absent;
    for (const QString &file : written)
        fresh.append(QFileInfo(file).fileName());
    for (const QString &file : unchanged)
        (QFileInfo::exists(file) ? old : absent).append(QFileInfo(file).fileName());
    QStringList parts;
    parts.append(QString("new: %1").arg(fresh.isEmpty() ? QString("none") : fresh.join(", ")));
    if (!old.isEmpty())
        parts.append(QString("old, not replaced: %1").arg(old.join(", ")));
    if (!absent.isEmpty())
        parts.append(QString("not written: %1").arg(absent.join(", ")));
    return QString("the export failed part-way; %1").arg(parts.join("; "));
}

Exporter::Exporter(LayoutSnapshot layout, const QString &documentFile)
    : m_layout(std::move(layout))
    , m_pictures(m_layout.pictures ? m_layout.pictures : PictureCache::create())
{
    const QFileInfo info(documentFile);
    m_folder = info.absolutePath();
    m_outputFolder = m_folder;
    m_documentName = info.completeBaseName();
}

void Exporter::setOutputFolder(const QString &folder)
{
    m_outputFolder = folder.isEmpty() ? m_folder : QFileInfo(folder).absoluteFilePath();
}

QString Exporter::path(const QString &name) const
{
    return QDir(m_outputFolder).filePath(name);
}

void Exporter::write(ExportReport &report, const QString &name, const QByteArray &bytes) const
{
    QString error;
    if (saveFile(path(name), bytes, &error)) {
        report.written.append(path(name));
    } else {
        report.failures.append(error);
        report.unchanged.append(path(name));
    }
}

void Exporter::finish(ExportReport &report, SaveFile &file) const
{
    if (file.commit()) {
        report.written.append(file.fileName());
    } else {
        report.failures.append(file.errorString());
        report.unchanged.append(file.fileName());
    }
}

Exporter::ReadPicture Exporter::readPicture(const QUrl &url, bool keep)
{
    const QString key = PictureCache::key(url);
    if (key.isEmpty()) {
        const PicturePtr picture = Picture::fromUrl(url);
        return {picture->image(), picture->problem()};
    }
    const auto found = m_read.constFind(key);
    if (found != m_read.constEnd())
        return *found;
    // The image and the problem are taken together, before a reload could come between.
    const PicturePtr picture = m_pictures->current(url);
    ReadPicture read{picture->image(), picture->problem()};
    if (keep)
        m_read.insert(key, read);
    return read;
}

Exporter::ReadPicture Exporter::readPicture(const PicturePtr &picture, bool keep)
{
    if (m_pictures->contains(picture))
        return readPicture(picture->url(), keep);
    return {picture->image(), picture->problem()};
}

ExportReport Exporter::exportAll(const ColorPattern &pattern, bool animationTab, RenderControl *control)
{
    ExportReport report = exportAnimationPattern(pattern, control);
    if (report.cancelled)
        return report;
    report.merge(animationTab ? exportAnimation() : exportImages());
    return report;
}

ExportReport Exporter::exportAnimationPattern(const ColorPattern &pattern, RenderControl *control)
{
    // The Image pattern samples the layout's own background and LED box, on the render's
    // threads only: whatever the editor publishes meanwhile cannot reach this export. The
    // background is read as the picture headers read it.
    const QString name = QString::fromStdString(pattern.name());
    if (m_layout.background && !name.isEmpty()) {
        const ReadPicture background = readPicture(m_layout.background, true);
        m_layout.background = Picture::fromImage(background.image, m_layout.background->url());
    }
    const PixelSource pixels = patternSources(m_layout);
    const QList<QPointF> gridPoints = m_layout.points();
    return writePatternPpm(name, [&](const RenderSink &sink) {
        return renderPatternAnimation(sink, gridPoints, pattern, m_patternFrames, 0, control, &pixels, m_fast);
    }, control);
}

ExportReport Exporter::exportAll(const UserPattern &pattern, bool animationTab, RenderControl *control)
{
    ExportReport report = exportAnimationPattern(pattern, control);
    if (report.cancelled)
        return report;
    report.merge(animationTab ? exportAnimation() : exportImages());
    return report;
}

ExportReport Exporter::exportAnimationPattern(const UserPattern &pattern, RenderControl *control)
{
    QString problem;
    return writePatternPpm(pattern.name(), [&](const RenderSink &sink) {
        return renderUserPatternAnimation(sink, m_layout.leds, pattern, m_patternFrames, control, &problem);
    }, control, &problem);
}

ExportReport Exporter::writePatternPpm(const QString &name, const std::function<bool(const RenderSink &)> &render,
                                       RenderControl *control, const QString *problem)
{
    ExportReport report;
    if (name.isEmpty() || name.contains('/') || name.startsWith('.')) {
        report.failures.append(QString("the pattern name \"%1\" cannot name a file").arg(name));
        return report;
    }
    // Rendered in chunks of frames and written as they come; the old file is replaced only
    // when every row arrived.
    SaveFile file(path(name + ".ppm"));
    file.open() && file.write(ppmHeader(m_layout.leds.size(), m_patternFrames));
    const auto sink = [&](const char *data, qsizetype size) { return file.write(data, size); };
    const bool rendered = !file.failed() && render(sink);
    if (control && control->cancelled) {
        report.cancelled = true;
        return report;
    }
    if (problem && !problem->isEmpty())
        report.failures.append(QString("cannot render %1: %2").arg(file.fileName(), *problem));
    else if (!rendered && !file.failed())
        report.failures.append(QString("cannot render %1").arg(file.fileName()));
    else
        finish(report, file);
    return report;
}

ExportReport Exporter::exportImages()
{
    ExportReport report;
    const QUrl base = QUrl::fromLocalFile(m_folder + '/');
    QImage image;
    const auto picture = [&](qsizetype i) -> PictureColors {
        const ReadPicture load = readPicture(resolvedPictureUrl(m_layout.images[i], base));
        if (load.image.isNull())
            report.warnings.append(load.problem + "; its LEDs export black");
        else if (!load.problem.isEmpty())
            report.warnings.append(load.problem);
        image = sampleableImage(load.image);
        return [&](qsizetype k) {
            return image.isNull() ? std::nullopt : samplePicture(image, m_layout.leds[k]);
        };
    };
    if (m_layout.images.isEmpty())
        return report;
    report.merge(writePictures(m_layout.images.size(), picture, "frame000.ppm"));
    return report;
}

std::optional<PixelColor> Exporter::frameColor(const AnimationFrame &frame, qsizetype k, QPointF led,
                                               const QImage &picture)
{
    return FramesColorSource::frameColor(frame, k, led, picture);
}

LedColors Exporter::frameColors(const AnimationFrame &frame, const QList<QPointF> &leds,
                                                       const QImage &picture)
{
    LedColors colors;
    colors.reserve(leds.size());
    for (qsizetype k = 0; k < leds.size(); ++k)
        colors.append(frameColor(frame, k, leds[k], picture));
    return colors;
}

ExportReport Exporter::exportAnimation()
{
    ExportReport report;
    const QList<FramePtr> frames = m_layout.animationEditor->track().frames;
    QImage image;
    const auto picture = [&](qsizetype i) -> PictureColors {
        const AnimationFrame &frame = *frames[i];
        image = {};
        if (frame.image) {
            const ReadPicture read = readPicture(frame.image);
            image = sampleableImage(read.image);
            const QString &problem = read.problem;
            if (image.isNull())
                report.warnings.append((problem.isEmpty() ? "cannot read frame picture "
                                                                + frame.url.toDisplayString(QUrl::PreferLocalFile)
                                                          : problem)
                                       + "; its LEDs export black");
            else if (!problem.isEmpty())
                report.warnings.append(problem);
        }
        return [&, i](qsizetype k) { return frameColor(*frames[i], k, m_layout.leds[k], image); };
    };
    if (frames.isEmpty())
        return report;
    report.merge(writePictures(frames.size(), picture, "frame001.ppm"));
    return report;
}

QByteArray Exporter::headerOpening(qsizetype index) const
{
    const QByteArray n = QByteArray::number(index);
    if (m_headerStyle == HeaderStyle::Classic)
        return "prog_uchar image" + n + "[] PROGMEM =\n{\n";
    const QByteArray guard = includeGuard("image" + n + "_h");
    return "#ifndef " + guard + "\n#define " + guard + "\n\n" + progmemPreamble() + "\nconst uint8_t image" + n
        + "[] PROGMEM = {\n";
}

QByteArray Exporter::headerClosing() const
{
    return m_headerStyle == HeaderStyle::Classic ? QByteArray("};\n") : QByteArray("};\n\n#endif\n");
}

QByteArray Exporter::includeList(qsizetype count) const
{
    QByteArray includes;
    for (qsizetype i = 0; i < count; ++i)
        includes += "#include \"image" + QByteArray::number(i) + ".h\"\n";
    if (m_headerStyle == HeaderStyle::Classic)
        return includes;
    const QByteArray guard = includeGuard("images_h");
    return "#ifndef " + guard + "\n#define " + guard + "\n\n#define NUM_LEDS " + QByteArray::number(m_layout.leds.size())
        + "\n#define IMAGE_COUNT " + QByteArray::number(count) + "\n\n" + includes + "\n#endif\n";
}

ExportReport Exporter::writePictures(qsizetype n, const std::function<PictureColors(qsizetype i)> &picture,
                                     const QString &ppmName)
{
    // LEDs are encoded this many at a time: a few megabytes of text whatever the LED count.
    constexpr qsizetype block = 65536;
    const qsizetype leds = m_layout.leds.size();
    ExportReport report;
    QByteArray cases;
    SaveFile ppm(path(ppmName));
    ppm.open() && ppm.write(ppmHeader(leds, n));
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArray number = QByteArray::number(i);
        const PictureColors colorOf = picture(i);
        SaveFile header(path("image" + number + ".h"));
        header.open() && header.write(headerOpening(i));
        QByteArray text, pixels;
        for (qsizetype first = 0; first < leds; first += block) {
            text.clear();
            pixels.clear();
            for (qsizetype k = first; k < std::min(leds, first + block); ++k) {
                const auto color = colorOf(k);
                appendColor(text, color);
                appendPixel(pixels, color);
            }
            header.write(text);
            ppm.write(pixels);
        }
        header.write(headerClosing());
        finish(report, header);
        cases += "  case " + number + ":\n    {\n      show(image" + number + ", sizeof(image" + number
            + "));\n\n      break;\n    }\n\n";
    }
    finish(report, ppm);
    write(report, "cases.h", cases);
    write(report, "images.h", includeList(n));
    const qsizetype arrayBytes = 3 * leds * n;
    if (arrayBytes > avrFlashBytes)
        report.warnings.append(QString("the colour arrays take %1 bytes, more than the %2 bytes (32 KiB) of a "
                                       "typical AVR's flash").arg(arrayBytes).arg(avrFlashBytes));
    return report;
}

namespace {

/// Sprites of one magenta disc of diameter 20, antialiased by QPainter exactly as a single
/// filled circle, for every eighth-pixel offset of its centre.
class DiscSprites {
public:
    static constexpr int steps = 8;
    static constexpr int size = 24;   // the disc and a pixel of antialiasing around it
    static constexpr int centre = 12; // the sprite pixel holding the disc's centre at offset 0

    DiscSprites()
    {
        for (int sy = 0; sy < steps; ++sy) {
            for (int sx = 0; sx < steps; ++sx) {
                QImage sprite(size, size, QImage::Format_ARGB32_Premultiplied);
                sprite.fill(Qt::transparent);
                QPainter painter(&sprite);
                painter.setRenderHint(QPainter::Antialiasing);
                // The same y-up mapping as the whole picture, so that the rasteriser sees the
                // same geometry shifted by whole pixels.
                painter.translate(0, size);
                painter.scale(1, -1);
                QPainterPath disc;
                const double x = centre + double(sx) / steps, y = size - (centre + double(sy) / steps);
                disc.addEllipse(QRectF(x - 10, y - 10, 20, 20));
                painter.fillPath(disc, QColor::fromRgbF(1, 0, 1));
                painter.end();
                m_sprites.push_back(sprite);
            }
        }
    }

    const QImage &at(int sx, int sy) const { return m_sprites[sy * steps + sx]; }

private:
    std::vector<QImage> m_sprites;
};

} // namespace

QImage Exporter::templateImage(const QList<QPointF> &leds)
{
    QImage image(1024, 768, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    static const DiscSprites sprites;
    for (const QPointF &led : leds) {
        // The disc's centre in picture pixels (rows go down), split into a whole pixel and
        // an eighth-pixel offset.
        const double px = led.x(), py = 768 - led.y();
        if (!(px > -20 && px < 1044 && py > -20 && py < 788))
            continue;
        const double fx = std::floor(px * DiscSprites::steps + 0.5), fy = std::floor(py * DiscSprites::steps + 0.5);
        const int ox = int(std::floor(fx / DiscSprites::steps)), oy = int(std::floor(fy / DiscSprites::steps));
        const QImage &sprite = sprites.at(int(fx) - ox * DiscSprites::steps, int(fy) - oy * DiscSprites::steps);
        const int left = ox - DiscSprites::centre, top = oy - DiscSprites::centre;
        for (int j = std::max(0, -top); j < DiscSprites::size && top + j < 768; ++j) {
            const QRgb *from = reinterpret_cast<const QRgb *>(sprite.constScanLine(j));
            QRgb *to = reinterpret_cast<QRgb *>(image.scanLine(top + j));
            for (int i = std::max(0, -left); i < DiscSprites::size && left + i < 1024; ++i) {
                // Where discs overlap they are laid over each other, so the union stays solid
                // as it did when all discs were one path filled by the non-zero rule, and
                // crossing rims add up as their coverage does.
                const uint a = qAlpha(from[i]);
                if (a == 0)
                    continue;
                const uint under = qAlpha(to[left + i]);
                const uint alpha = a + (under * (255 - a) + 127) / 255;
                to[left + i] = qRgba(alpha, 0, alpha, alpha);
            }
        }
    }
    return image;
}

ExportReport Exporter::exportTemplate()
{
    ExportReport report;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // The marker lets the next export recognise its own file and write over it.
    writer.setText(templateMarker, "1");
    if (!writer.write(templateImage(m_layout.leds))) {
        report.failures.append("cannot encode the template picture: " + writer.errorString());
        return report;
    }
    const QString name = templateFileName();
    if (name != m_documentName + ".png")
        report.warnings.append(QString("%1.png is not a template written here (it may be a picture of the layout), "
                                       "so the template went to %2").arg(m_documentName, name));
    write(report, name, buffer.data());
    return report;
}

bool Exporter::isTemplateFile(const QString &fileName)
{
    QImageReader reader(fileName);
    return reader.text(templateMarker) == QLatin1String("1");
}

QString Exporter::templateFileName() const
{
    // Every picture the layout names, as files in reach.
    QSet<QString> used;
    const QUrl base = QUrl::fromLocalFile(m_folder + '/');
    auto use = [&](const QUrl &stored) {
        const QUrl url = resolvedPictureUrl(stored, base);
        if (url.isLocalFile())
            used.insert(QFileInfo(url.toLocalFile()).absoluteFilePath());
    };
    for (const QUrl &url : m_layout.images)
        use(url);
    for (const TrackPtr &track : m_layout.animationEditor->tracks())
        for (const FramePtr &frame : track->frames)
            use(frame->url);
    if (m_layout.background)
        use(m_layout.background->url());

    auto free = [&](const QString &name) {
        const QString file = QFileInfo(path(name)).absoluteFilePath();
        if (used.contains(file))
            return false;
        return !QFileInfo::exists(file) || isTemplateFile(file);
    };
    if (free(m_documentName + ".png"))
        return m_documentName + ".png";
    if (free(m_documentName + "-template.png"))
        return m_documentName + "-template.png";
    for (int n = 2;; ++n)
        if (free(QString("%1-template-%2.png").arg(m_documentName).arg(n)))
            return QString("%1-template-%2.png").arg(m_documentName).arg(n);
}

} // namespace lumora
