#include "EpeFile.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <cstring>

namespace lumora {

std::optional<EpePattern> readEpe(const QByteArray &data, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parse);
    auto failed = [&](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (document.isNull())
        return failed(QString("not JSON: %1 at byte %2").arg(parse.errorString()).arg(parse.offset));
    const QJsonObject object = document.object();
    const QJsonValue main = object["sources"].toObject()["main"];
    if (!main.isString())
        return failed("no pattern source (\"sources\": {\"main\": …})");
    EpePattern pattern;
    pattern.name = object["name"].toString();
    pattern.id = object["id"].toString();
    pattern.source = main.toString().toUtf8();
    return pattern;
}

QByteArray writeEpe(const EpePattern &pattern, const QImage &preview)
{
    QString id = pattern.id;
    if (id.isEmpty()) {
        // The device's ids are 17 letters and digits.
        static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int i = 0; i < 17; ++i)
            id += QChar(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    preview.save(&buffer, "JPEG", 90);
    QJsonObject sources;
    sources["main"] = QString::fromUtf8(pattern.source);
    QJsonObject object;
    object["name"] = pattern.name;
    object["id"] = id;
    object["sources"] = sources;
    object["preview"] = QString::fromLatin1(jpeg.toBase64());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QImage> userPatternPreview(const UserPattern &pattern, const QList<QPointF> &leds, int frames,
                                         QString *error)
{
    QImage image(int(std::max<qsizetype>(leds.size(), 1)), std::max(frames, 1), QImage::Format_RGB888);
    image.fill(Qt::black);
    UserPatternRun run(pattern, leds);
    for (int i = 0; i < frames; ++i) {
        const QByteArray row = run.nextFrame(i == 0 ? 0 : 200);
        if (!run.error().isEmpty()) {
            if (error)
                *error = run.error();
            return std::nullopt;
        }
        std::memcpy(image.scanLine(i), row.constData(), size_t(row.size()));
    }
    return image;
}

} // namespace lumora
