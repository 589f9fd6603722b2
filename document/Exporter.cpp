#include "Exporter.h"

#include "ColorBytes.h"
#include "DocumentReader.h"
#include "HeaderText.h"
#include "SaveFile.h"

#include "animation/ImageBitmap.h"
#include "patterns/framework/ColorPattern.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSet>
#include <QPainter>
#include <QPainterPath>

namespace lumora {

namespace {

/// The PNG text key that marks a template written by this program.
const QString templateMarker = QStringLiteral("LumoraTemplate");

const PixelColor red{1, 0, 0, 1};
const PixelColor black{0, 0, 0, 1};

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
    cancelled = cancelled || other.cancelled;
}

Exporter::Exporter(LayoutSnapshot layout, const QString &documentFile)
    : m_layout(std::move(layout))
{
    const QFileInfo info(documentFile);
    m_folder = info.absolutePath();
    m_documentName = info.completeBaseName();
}

QString Exporter::path(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

void Exporter::write(ExportReport &report, const QString &name, const QByteArray &bytes) const
{
    QString error;
    if (saveFile(path(name), bytes, &error))
        report.written.append(path(name));
    else
        report.failures.append(error);
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
    ExportReport report;
    const QString name = QString::fromStdString(pattern.name());
    if (name.isEmpty() || name.contains('/') || name.startsWith('.')) {
        report.failures.append(QString("the pattern name \"%1\" cannot name a file").arg(name));
        return report;
    }

    // The Image pattern samples the layout's own background and LED box, on the render's
    // threads only: whatever the editor publishes meanwhile cannot reach this export.
    PixelSource pixels;
    if (m_layout.background && !m_layout.background->image().isNull())
        pixels.bitmap = std::make_shared<ImageBitmap>(m_layout.background->image());
    const QRectF box = m_layout.boundingBox();
    pixels.box = {box.x(), box.y(), box.width(), box.height()};

    const QList<QPointF> gridPoints = m_layout.points();
    QByteArray bytes = ppmHeader(gridPoints.size(), m_patternFrames);
    if (!renderPatternAnimation(bytes, gridPoints, pattern, m_patternFrames, 0, control, &pixels, m_fast)) {
        report.cancelled = true;
        return report;
    }
    write(report, name + ".ppm", bytes);
    return report;
}

ExportReport Exporter::exportImages()
{
    QList<LedColors> pictures;
    ExportReport report;
    for (const QUrl &stored : m_layout.images) {
        const QUrl url = resolvedPictureUrl(stored, QUrl::fromLocalFile(m_folder + '/'));
        QImage image;
        if (url.isLocalFile())
            image = decodePicture(url.toLocalFile());
        if (image.isNull())
            report.warnings.append(QString("cannot read picture %1; its LEDs export black")
                                       .arg(url.toDisplayString(QUrl::PreferLocalFile)));
        image = sampleableImage(image);
        LedColors colors;
        colors.reserve(m_layout.leds.size());
        for (const QPointF &led : m_layout.leds)
            colors.append(image.isNull() ? std::nullopt : samplePicture(image, led));
        pictures.append(colors);
    }
    if (pictures.isEmpty())
        return report;
    report.merge(writePictures(pictures, "frame000.ppm"));
    return report;
}

LedColors Exporter::frameColors(const AnimationFrame &frame, const QList<QPointF> &leds,
                                                       const QImage &picture)
{
    LedColors colors;
    colors.reserve(leds.size());
    for (qsizetype k = 0; k < leds.size(); ++k) {
        const bool lit = k < frame.selection.size() && frame.selection[k];
        if (!lit)
            colors.append(black);
        else if (frame.image)
            colors.append(picture.isNull() ? std::nullopt : samplePicture(picture, leds[k]));
        else
            colors.append(red);
    }
    return colors;
}

ExportReport Exporter::exportAnimation()
{
    QList<LedColors> pictures;
    ExportReport report;
    for (const FramePtr &frame : m_layout.animationEditor->track().frames) {
        QImage picture;
        if (frame->image) {
            picture = sampleableImage(frame->image->image());
            if (picture.isNull())
                report.warnings.append(QString("cannot read frame picture %1; its LEDs export black")
                                           .arg(frame->url.toDisplayString(QUrl::PreferLocalFile)));
        }
        pictures.append(frameColors(*frame, m_layout.leds, picture));
    }
    if (pictures.isEmpty())
        return report;
    report.merge(writePictures(pictures, "frame001.ppm"));
    return report;
}

QByteArray Exporter::pictureHeader(qsizetype index, const LedColors &colors) const
{
    const QByteArray n = QByteArray::number(index);
    QByteArray body;
    for (const auto &color : colors)
        appendColor(body, color);
    if (m_headerStyle == HeaderStyle::Classic)
        return "prog_uchar image" + n + "[] PROGMEM =\n{\n" + body + "};\n";
    const QByteArray guard = includeGuard("image" + n + "_h");
    return "#ifndef " + guard + "\n#define " + guard + "\n\n" + progmemPreamble() + "\nconst uint8_t image" + n
        + "[] PROGMEM = {\n" + body + "};\n\n#endif\n";
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

ExportReport Exporter::writePictures(const QList<LedColors> &pictures,
                                     const QString &ppmName)
{
    ExportReport report;
    QByteArray cases;
    QByteArray ppm = ppmHeader(m_layout.leds.size(), pictures.size());
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QByteArray n = QByteArray::number(i);
        for (const auto &color : pictures[i])
            appendPixel(ppm, color);
        write(report, "image" + n + ".h", pictureHeader(i, pictures[i]));
        cases += "  case " + n + ":\n    {\n      show(image" + n + ", sizeof(image" + n + "));\n\n      break;\n    }\n\n";
    }
    write(report, ppmName, ppm);
    write(report, "cases.h", cases);
    write(report, "images.h", includeList(pictures.size()));
    const qsizetype arrayBytes = 3 * m_layout.leds.size() * pictures.size();
    if (arrayBytes > avrFlashBytes)
        report.warnings.append(QString("the colour arrays take %1 bytes, more than the %2 bytes (32 KiB) of a "
                                       "typical AVR's flash").arg(arrayBytes).arg(avrFlashBytes));
    return report;
}

QImage Exporter::templateImage(const QList<QPointF> &leds)
{
    QImage image(1024, 768, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainterPath discs;
    // One path for all discs, filled by the non-zero rule, so overlapping discs stay solid.
    discs.setFillRule(Qt::WindingFill);
    for (const QPointF &led : leds)
        discs.addEllipse(QRectF(led.x() - 10, led.y() - 10, 20, 20));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Layout coordinates grow upwards; the picture's rows go down.
    painter.translate(0, 768);
    painter.scale(1, -1);
    painter.fillPath(discs, QColor::fromRgbF(1, 0, 1));
    painter.end();
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
