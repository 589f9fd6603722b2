#include "DocumentReader.h"

#include "FileChecks.h"

#include "animation/Picture.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
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
    Scanner(Model &model, const QUrl &base)
        : model(model)
        , base(base)
    {
    }

    Model &model;
    QUrl base;
    qint64 table = 0;
    qint64 depth = 0;
    qint64 trackIndex = -1;
    qint64 frameIndex = -1;
    qint64 lineNumber = 0;
    QStringList warnings;
    qint64 limitedNumbers = 0;
    qint64 skippedLines = 0;
    QHash<QUrl, PicturePtr> pictures;

    /// Returns false when the scan stops.
    bool line(QStringView line)
    {
        ++lineNumber;
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
                    .append(QPointF(coordinate(fields[0]), coordinate(fields[1])));
            else if (!isBracket(line))
                skipped(line, table == 0 ? "an LED" : "a grid handle");
            break;
        case 2:
            if (auto url = quotedUrl(fields[0]))
                model.filenames.append(*url);
            else if (!isBracket(line))
                skipped(line, "a picture name");
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

    /// A coordinate too large for a double would read as infinity, which the writer cannot
    /// store: it is limited to the largest double of its sign (which the writer stores
    /// exactly) and the limiting reported, so the row and the LED order stay.
    double coordinate(QStringView field)
    {
        const double value = readNumber(field);
        if (std::isfinite(value))
            return value;
        if (limitedNumbers++ < maxWarnings)
            warnings.append(QString("line %1: the number %2 is too large and was limited to %3")
                                .arg(lineNumber)
                                .arg(field.trimmed().left(40))
                                .arg(value > 0 ? "1.8e308" : "-1.8e308"));
        return std::copysign(std::numeric_limits<double>::max(), value);
    }

    /// The lines that open and close a table or a comment around it.
    static bool isBracket(QStringView line)
    {
        const QStringView bare = line.trimmed();
        return bare.isEmpty() || bare == u"{" || bare == u"}" || bare == u"};" || bare == u"/*" || bare == u"*/";
    }

    /// A line of a table that is none of its rows: still skipped, as ever, but told.
    void skipped(QStringView line, const char *what)
    {
        if (skippedLines++ < maxWarnings)
            warnings.append(QString("line %1: \"%2\" is not %3 and was skipped")
                                .arg(lineNumber)
                                .arg(line.trimmed().left(40))
                                .arg(QLatin1String(what)));
    }

    void finish()
    {
        if (limitedNumbers > maxWarnings)
            warnings.append(QString("%1 more numbers were limited").arg(limitedNumbers - maxWarnings));
        if (skippedLines > maxWarnings)
            warnings.append(QString("%1 more lines were skipped").arg(skippedLines - maxWarnings));
    }

    static constexpr qint64 maxWarnings = 10;

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
                    // Frames naming one file share its picture, decoded once.
                    const QUrl resolved = resolvedPictureUrl(*url, base);
                    PicturePtr &shared = pictures[resolved];
                    if (!shared)
                        shared = Picture::fromUrl(resolved);
                    frame->image = shared;
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

namespace {

ReadResult refused(const QString &error)
{
    ReadResult result;
    result.ok = false;
    result.error = error;
    return result;
}

/// A header line of one of the document's tables ("Point points[2] =" and the like).
bool isTableHeader(QStringView line)
{
    if (!line.endsWith(u"] ="))
        return false;
    for (QStringView name : {u"points[", u"grid[", u"filenames[", u"tracks[", u"trackFilenames[", u"positions["})
        if (line.contains(name))
            return true;
    return false;
}

bool isBlank(QStringView text)
{
    for (QChar c : text)
        if (!isSpace(c))
            return false;
    return true;
}

ReadResult readText(const QByteArray &bytes, Model &model, const QUrl &base, bool requireTable,
                    const QString &fileName = {})
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return refused("not a valid document (not UTF-8)");

    const QList<QStringView> lines = splitLines(text);
    // A README or a file of NUL bytes would otherwise open as an empty layout that the next
    // save overwrites. Only the empty document has no table.
    if (requireTable && !isBlank(text) && std::none_of(lines.begin(), lines.end(), isTableHeader))
        return refused(QString("%1 is not a layout: it holds none of the document's tables "
                               "(points, grid, filenames, tracks, positions)")
                           .arg(fileName));

    Scanner scanner{model, base};
    for (QStringView line : lines)
        if (!scanner.line(line))
            break;
    scanner.finish();
    ReadResult result;
    result.warnings = scanner.warnings;
    return result;
}

} // namespace

ReadResult readDocument(const QByteArray &bytes, Model &model, const QUrl &base)
{
    return readText(bytes, model, base, false);
}

ReadResult readDocument(QIODevice &device, Model &model, const QUrl &base)
{
    QByteArray bytes;
    QString error;
    if (!readBounded(device, maxDocumentBytes, bytes, &error))
        return refused("cannot read the document: " + error);
    return readDocument(bytes, model, base);
}

ReadResult readDocumentFile(const QString &fileName, Model &model)
{
    QFile file;
    QString error;
    if (!openRegularFile(fileName, file, &error))
        return refused(error);
    if (file.size() > maxDocumentBytes)
        return refused(QString("cannot open %1: it is %2 MB; documents above %3 MB are refused")
                           .arg(fileName)
                           .arg(file.size() >> 20)
                           .arg(maxDocumentBytes >> 20));
    QByteArray bytes;
    if (!readBounded(file, maxDocumentBytes, bytes, &error))
        return refused(QString("cannot read %1: %2").arg(fileName, error));
    return readText(bytes, model, documentBase(fileName), true, fileName);
}

} // namespace lumora
