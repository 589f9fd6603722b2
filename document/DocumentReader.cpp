#include "DocumentReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <limits>

namespace lumora {

namespace {

bool isSpace(QChar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(QChar c)
{
    return c >= '0' && c <= '9';
}

/// Splits at LF, CR, CRLF, U+0085, U+2028 and U+2029; a terminator at the very end
/// makes no extra empty line.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\n' && c != u'\r' && c != 0x0085 && c != 0x2028 && c != 0x2029)
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

/// The reader's running state: one scan over all lines.
struct Scanner {
    Model &model;
    QUrl base;
    qint64 table = 0;
    qint64 depth = 0;
    qint64 trackIndex = -1;
    qint64 frameIndex = -1;

    /// Returns false when the scan stops.
    bool line(QStringView line)
    {
        if (line.isEmpty()) {
            ++table;
            return true;
        }
        if (line.endsWith(u"] =")) {
            if (line.contains(u"filenames"))
                table = 2;
            else if (line.contains(u"tracks"))
                table = 3;
            else if (line.contains(u"trackFilenames"))
                table = 4;
            return true;
        }
        const QList<QStringView> fields = line.split(u',');
        switch (table) {
        case 0:
        case 1:
            if (fields.size() >= 2)
                (table == 0 ? model.points : model.grid)
                    .append(QPointF(readNumber(fields[0]), readNumber(fields[1])));
            break;
        case 2:
            if (auto url = quotedUrl(fields[0]))
                model.filenames.append(*url);
            break;
        case 3:
            tracksLine(fields);
            break;
        case 4:
            trackFilenamesLine(fields);
            break;
        case 5:
            return false;
        default:
            break;
        }
        return true;
    }

    void tracksLine(const QList<QStringView> &fields)
    {
        auto &tracks = model.animationEditor->tracks();
        if (fields[0].startsWith(u'}')) {
            --depth;
        } else if (fields[0].startsWith(u'{')) {
            if (depth == 1)
                tracks.append(std::make_shared<AnimationTrack>());
            else if (depth == 2 && !tracks.isEmpty())
                tracks.last()->frames.append(std::make_shared<AnimationFrame>());
            ++depth;
        } else if (depth == 3) {
            if (tracks.isEmpty() || tracks.last()->frames.isEmpty())
                return;
            QList<bool> &selection = tracks.last()->frames.last()->selection;
            for (QStringView field : fields)
                if (!field.isEmpty())
                    selection.append(readBoolean(field));
        }
    }

    void trackFilenamesLine(const QList<QStringView> &fields)
    {
        if (fields[0].startsWith(u'}')) {
            --depth;
        } else if (fields[0].startsWith(u'{')) {
            if (depth == 1) {
                ++trackIndex;
                frameIndex = 0;
            }
            ++depth;
        } else if (depth == 2) {
            // A name for a track or frame the tracks table did not produce is dropped.
            if (auto url = quotedUrl(fields[0])) {
                if (AnimationFrame *frame = target()) {
                    frame->url = *url;
                    frame->image = Picture::fromUrl(resolvedPictureUrl(*url, base));
                }
            }
            ++frameIndex;
        }
    }

    AnimationFrame *target() const
    {
        const auto &tracks = model.animationEditor->tracks();
        if (trackIndex < 0 || trackIndex >= tracks.size())
            return nullptr;
        const auto &frames = tracks[trackIndex]->frames;
        if (frameIndex < 0 || frameIndex >= frames.size())
            return nullptr;
        return frames[frameIndex].get();
    }

    static std::optional<QUrl> quotedUrl(QStringView field)
    {
        if (field.size() < 3 || !field.startsWith(u'"') || !field.endsWith(u'"'))
            return std::nullopt;
        return readUrl(field.mid(1, field.size() - 2));
    }
};

bool isUrlCharacter(char16_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c < 128 && std::char_traits<char>::find("-._~:/?#[]@!$&'()*+,;=%", 23, char(c));
}

bool isHex(QChar c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

double readNumber(QStringView field)
{
    qsizetype i = 0;
    const qsizetype n = field.size();
    while (i < n && isSpace(field[i]))
        ++i;
    const qsizetype start = i;
    if (i < n && (field[i] == '+' || field[i] == '-'))
        ++i;
    const qsizetype intStart = i;
    while (i < n && isDigit(field[i]))
        ++i;
    qsizetype digits = i - intStart;
    if (i < n && field[i] == '.') {
        qsizetype j = i + 1;
        while (j < n && isDigit(field[j]))
            ++j;
        digits += j - i - 1;
        if (digits > 0)
            i = j;
    }
    if (digits == 0)
        return 0;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (field[j] == '+' || field[j] == '-'))
            ++j;
        const qsizetype expStart = j;
        while (j < n && isDigit(field[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    // from_chars takes no leading '+'.
    QByteArray text = field.mid(start, i - start).toLatin1();
    if (text.startsWith('+'))
        text.remove(0, 1);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.constData(), text.constData() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Overflow reads as infinity, underflow as zero, as strtod has it.
        const bool negative = text.startsWith('-');
        qsizetype e = text.indexOf('e');
        if (e < 0)
            e = text.indexOf('E');
        const bool tiny = e >= 0 && text.mid(e + 1).startsWith('-');
        value = tiny ? (negative ? -0.0 : 0.0)
                     : (negative ? -std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::infinity());
    }
    return value;
}

bool readBoolean(QStringView field)
{
    qsizetype i = 0;
    const qsizetype n = field.size();
    while (i < n && isSpace(field[i]))
        ++i;
    if (i < n && (field[i] == '+' || field[i] == '-'))
        ++i;
    while (i < n && field[i] == '0')
        ++i;
    if (i >= n)
        return false;
    const QChar c = field[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::optional<QUrl> readUrl(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isUrlCharacter(c))
            return std::nullopt;
        if (c == '%' && (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])))
            return std::nullopt;
    }
    const QUrl url = QUrl::fromEncoded(text.toLatin1(), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QUrl resolvedPictureUrl(const QUrl &url, const QUrl &base)
{
    return url.isRelative() && base.isValid() && !base.isEmpty() ? base.resolved(url) : url;
}

QUrl documentBase(const QString &fileName)
{
    return QUrl::fromLocalFile(QFileInfo(fileName).absolutePath() + '/');
}

ReadResult readDocument(const QByteArray &bytes, Model &model, const QUrl &base)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {false, "not a valid document (not UTF-8)"};

    Scanner scanner{model, base};
    for (QStringView line : splitLines(text))
        if (!scanner.line(line))
            break;
    return {};
}

ReadResult readDocument(QIODevice &device, Model &model, const QUrl &base)
{
    return readDocument(device.readAll(), model, base);
}

ReadResult readDocumentFile(const QString &fileName, Model &model)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return {false, QString("%1 is a folder, not a document").arg(fileName)};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QString("cannot open %1: %2").arg(fileName, file.errorString())};
    return readDocument(file, model, documentBase(fileName));
}

} // namespace lumora
