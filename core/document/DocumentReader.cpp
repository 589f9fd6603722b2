#include "DocumentReader.h"

#include "common/FileChecks.h"

#include "pictures/Picture.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace lumora {

namespace {

using Bytes = std::string_view;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool startsWith(Bytes text, Bytes prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(Bytes text, Bytes suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool contains(Bytes text, Bytes part)
{
    return text.find(part) != Bytes::npos;
}

/// Well-formed UTF-8 as Unicode defines it (no overlong forms, no surrogates, nothing above
/// U+10FFFF), checked in place so that no decoded copy of the file is ever made.
bool isUtf8(Bytes text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        qsizetype length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (qsizetype k = 2; k < length; ++k)
            if (p[k] < 0x80 || p[k] > 0xBF)
                return false;
        p += length;
    }
    return true;
}

/// Walks valid UTF-8 line by line: lines end at LF, CR, CRLF, U+0085, U+2028 and U+2029;
/// a terminator at the very end makes no extra empty line. Lines are views into the text.
class LineCursor {
public:
    explicit LineCursor(Bytes text) : m_text(text) {}

    bool next(Bytes &line)
    {
        const qsizetype n = qsizetype(m_text.size());
        if (m_start >= n)
            return false;
        for (qsizetype i = m_start; i < n; ++i) {
            const auto c = static_cast<unsigned char>(m_text[i]);
            qsizetype terminator = 0;
            if (c == '\n')
                terminator = 1;
            else if (c == '\r')
                terminator = i + 1 < n && m_text[i + 1] == '\n' ? 2 : 1;
            else if (c == 0xC2 && i + 1 < n && static_cast<unsigned char>(m_text[i + 1]) == 0x85)
                terminator = 2;
            else if (c == 0xE2 && i + 2 < n && static_cast<unsigned char>(m_text[i + 1]) == 0x80
                     && (static_cast<unsigned char>(m_text[i + 2]) & 0xFE) == 0xA8)
                terminator = 3;
            if (terminator == 0)
                continue;
            line = m_text.substr(m_start, i - m_start);
            m_start = i + terminator;
            return true;
        }
        line = m_text.substr(m_start);
        m_start = n;
        return true;
    }

    /// Bytes not yet looked at.
    qsizetype remaining() const { return qsizetype(m_text.size()) - m_start; }

private:
    Bytes m_text;
    qsizetype m_start = 0;
};

/// The fields of a row, split at every comma; empty fields count.
class Fields {
public:
    explicit Fields(Bytes line) : m_rest(line) {}

    bool next(Bytes &field)
    {
        if (m_done)
            return false;
        const auto comma = m_rest.find(',');
        if (comma == Bytes::npos) {
            field = m_rest;
            m_done = true;
        } else {
            field = m_rest.substr(0, comma);
            m_rest.remove_prefix(comma + 1);
        }
        return true;
    }

private:
    Bytes m_rest;
    bool m_done = false;
};

Bytes firstField(Bytes line)
{
    return line.substr(0, line.find(','));
}

QString decoded(Bytes bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

double readNumberBytes(Bytes field);
bool readBooleanBytes(Bytes field);
std::optional<QUrl> readUrlBytes(Bytes text);

/// The tables a header line names. The writer puts a header before each of its tables, so
/// the header decides where the rows go; an empty line still moves on to the next table for
/// files written by hand without headers.
enum Table : qint64 { Points = 0, Grid = 1, Filenames = 2, Tracks = 3, TrackFilenames = 4, Stop = 5,
                      Positions = -1000 };

std::optional<Table> headerTable(Bytes line)
{
    if (contains(line, "filenames"))
        return Filenames;
    if (contains(line, "tracks"))
        return Tracks;
    if (contains(line, "trackFilenames"))
        return TrackFilenames;
    if (contains(line, "positions["))
        return Positions;
    if (contains(line, "points["))
        return Points;
    if (contains(line, "grid["))
        return Grid;
    return std::nullopt;
}

/// The count in a header's brackets, a hint for reserving room only.
qsizetype headerCount(Bytes line)
{
    const auto open = line.rfind('[');
    if (open == Bytes::npos)
        return 0;
    qsizetype count = 0;
    for (std::size_t i = open + 1; i < line.size() && isDigit(line[i]) && count < (qsizetype(1) << 40); ++i)
        count = count * 10 + (line[i] - '0');
    return count;
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
    qint64 table = Points;
    qint64 depth = 0;
    qint64 trackIndex = -1;
    qint64 frameIndex = -1;
    qint64 lineNumber = 0;
    QStringList warnings;
    qint64 limitedNumbers = 0;
    qint64 skippedLines = 0;
    QHash<QUrl, PicturePtr> pictures;

    /// Returns false when the scan stops. `remaining` is what is left of the text, for
    /// reserving room when a table names its size.
    bool line(Bytes line, qsizetype remaining)
    {
        ++lineNumber;
        if (line.empty()) {
            // The rows of the positions table are never read, and a hand-made row after
            // them is none of the tables.
            table = table == Positions ? Positions + 1 : table + 1;
            return true;
        }
        if (endsWith(line, "] =")) {
            if (const auto named = headerTable(line)) {
                table = *named;
                // A points row takes at least two bytes ("," and its end), so the count
                // in the header, however large, reserves no more than the rest can fill.
                if (table == Points || table == Grid) {
                    QList<QPointF> &list = table == Points ? model.points : model.grid;
                    list.reserve(list.size() + std::min(headerCount(line), remaining / 2));
                }
            }
            return true;
        }
        switch (table) {
        case Points:
        case Grid:
            pointRow(line);
            break;
        case Filenames:
            if (auto url = quotedUrl(firstField(line)))
                model.filenames.append(*url);
            else if (!isBracket(line))
                skipped(line, "a picture name");
            break;
        case Tracks:
            tracksLine(line);
            break;
        case TrackFilenames:
            trackFilenamesLine(firstField(line));
            break;
        case Stop:
            return false;
        default:
            break;
        }
        return true;
    }

    void pointRow(Bytes line)
    {
        Fields fields(line);
        Bytes x, y;
        if (fields.next(x) && fields.next(y))
            (table == Points ? model.points : model.grid).append(QPointF(coordinate(x), coordinate(y)));
        else if (!isBracket(line))
            skipped(line, table == Points ? "an LED" : "a grid handle");
    }

    /// A coordinate too large for a double would read as infinity, which the writer cannot
    /// store: it is limited to the largest double of its sign (which the writer stores
    /// exactly) and the limiting reported, so the row and the LED order stay.
    double coordinate(Bytes field)
    {
        const double value = readNumberBytes(field);
        if (std::isfinite(value))
            return value;
        if (limitedNumbers++ < maxWarnings)
            warnings.append(QString("line %1: the number %2 is too large and was limited to %3")
                                .arg(lineNumber)
                                .arg(decoded(field).trimmed().left(40))
                                .arg(value > 0 ? "1.8e308" : "-1.8e308"));
        return std::copysign(std::numeric_limits<double>::max(), value);
    }

    /// The lines that open and close a table or a comment around it.
    static bool isBracket(Bytes line)
    {
        const QString bare = decoded(line).trimmed();
        return bare.isEmpty() || bare == u"{" || bare == u"}" || bare == u"};" || bare == u"/*" || bare == u"*/";
    }

    /// A line of a table that is none of its rows: still skipped, as ever, but told.
    void skipped(Bytes line, const char *what)
    {
        if (skippedLines++ < maxWarnings)
            warnings.append(QString("line %1: \"%2\" is not %3 and was skipped")
                                .arg(lineNumber)
                                .arg(decoded(line).trimmed().left(40))
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

    void tracksLine(Bytes line)
    {
        auto &tracks = model.animationEditor->tracks();
        if (startsWith(line, "}")) {
            --depth;
        } else if (startsWith(line, "{")) {
            if (depth == 1)
                tracks.append(std::make_shared<AnimationTrack>());
            else if (depth == 2 && !tracks.isEmpty())
                tracks.last()->frames.append(std::make_shared<AnimationFrame>());
            ++depth;
        } else if (depth == 3) {
            if (tracks.isEmpty() || tracks.last()->frames.isEmpty())
                return;
            QList<bool> &selection = tracks.last()->frames.last()->selection;
            Fields fields(line);
            Bytes field;
            while (fields.next(field))
                if (!field.empty())
                    selection.append(readBooleanBytes(field));
        }
    }

    void trackFilenamesLine(Bytes first)
    {
        if (startsWith(first, "}")) {
            --depth;
        } else if (startsWith(first, "{")) {
            if (depth == 1) {
                ++trackIndex;
                frameIndex = 0;
            }
            ++depth;
        } else if (depth == 2) {
            // A name for a track or frame the tracks table did not produce is dropped.
            if (auto url = quotedUrl(first)) {
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

    static std::optional<QUrl> quotedUrl(Bytes field)
    {
        if (field.size() < 3 || field.front() != '"' || field.back() != '"')
            return std::nullopt;
        return readUrlBytes(field.substr(1, field.size() - 2));
    }
};

bool isUrlCharacter(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c > 0 && std::char_traits<char>::find("-._~:/?#[]@!$&'()*+,;=%", 23, c);
}

bool isHex(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

double readNumberBytes(Bytes field)
{
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && isSpace(field[i]))
        ++i;
    // from_chars takes no leading '+'.
    if (i < n && field[i] == '+' && i + 1 < n && field[i + 1] != '-')
        ++i;
    const std::size_t start = i;
    if (i < n && field[i] == '-')
        ++i;
    const std::size_t intStart = i;
    while (i < n && isDigit(field[i]))
        ++i;
    std::size_t digits = i - intStart;
    if (i < n && field[i] == '.') {
        std::size_t j = i + 1;
        while (j < n && isDigit(field[j]))
            ++j;
        digits += j - i - 1;
        if (digits > 0)
            i = j;
    }
    if (digits == 0)
        return 0;
    std::size_t mantissaEnd = i;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (field[j] == '+' || field[j] == '-'))
            ++j;
        const std::size_t expStart = j;
        while (j < n && isDigit(field[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(field.data() + start, field.data() + i, value);
    if (ec == std::errc::result_out_of_range) {
        // Overflow reads as infinity, underflow as zero, as strtod has it.
        const bool negative = field[start] == '-';
        const bool tiny = i > mantissaEnd && field[mantissaEnd + 1] == '-';
        value = tiny ? (negative ? -0.0 : 0.0)
                     : (negative ? -std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::infinity());
    }
    return value;
}

bool readBooleanBytes(Bytes field)
{
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && isSpace(field[i]))
        ++i;
    if (i < n && (field[i] == '+' || field[i] == '-'))
        ++i;
    while (i < n && field[i] == '0')
        ++i;
    if (i >= n)
        return false;
    const char c = field[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::optional<QUrl> readUrlBytes(Bytes text)
{
    if (text.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!isUrlCharacter(c))
            return std::nullopt;
        if (c == '%' && (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])))
            return std::nullopt;
    }
    const QUrl url = QUrl::fromEncoded(QByteArray(text.data(), qsizetype(text.size())), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

/// The rules on text hold for its Latin-1 form: every character they look at is ASCII, and
/// anything else becomes a byte that none of them accepts.
QByteArray latin1(QStringView text)
{
    QByteArray bytes = text.toLatin1();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].unicode() >= 0x80)
            bytes[i] = char(0x80);
    return bytes;
}

Bytes view(const QByteArray &bytes)
{
    return Bytes(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

double readNumber(QStringView field)
{
    const QByteArray bytes = latin1(field);
    return readNumberBytes(view(bytes));
}

bool readBoolean(QStringView field)
{
    const QByteArray bytes = latin1(field);
    return readBooleanBytes(view(bytes));
}

std::optional<QUrl> readUrl(QStringView text)
{
    const QByteArray bytes = latin1(text);
    return readUrlBytes(view(bytes));
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
bool isTableHeader(Bytes line)
{
    if (!endsWith(line, "] ="))
        return false;
    for (Bytes name : {"points[", "grid[", "filenames[", "tracks[", "trackFilenames[", "positions["})
        if (contains(line, name))
            return true;
    return false;
}

bool isBlank(Bytes text)
{
    return std::all_of(text.begin(), text.end(), isSpace);
}

ReadResult readText(Bytes text, Model &model, const QUrl &base, bool requireTable,
                    const QString &fileName = {})
{
    // Checked and split in place: the text is never copied, so reading costs the file's
    // bytes and the model's arrays, nothing in proportion to the number of lines.
    if (!isUtf8(text))
        return refused("not a valid document (not UTF-8)");
    if (startsWith(text, "\xEF\xBB\xBF"))
        text.remove_prefix(3);

    // A README or a file of NUL bytes would otherwise open as an empty layout that the next
    // save overwrites. Only the empty document has no table.
    if (requireTable && !isBlank(text)) {
        LineCursor lines(text);
        Bytes line;
        bool found = false;
        while (!found && lines.next(line))
            found = isTableHeader(line);
        if (!found)
            return refused(QString("%1 is not a layout: it holds none of the document's tables "
                                   "(points, grid, filenames, tracks, positions)")
                               .arg(fileName));
    }

    Scanner scanner{model, base};
    LineCursor lines(text);
    Bytes line;
    while (lines.next(line))
        if (!scanner.line(line, lines.remaining()))
            break;
    scanner.finish();
    ReadResult result;
    result.warnings = scanner.warnings;
    return result;
}

} // namespace

ReadResult readDocument(const QByteArray &bytes, Model &model, const QUrl &base)
{
    return readText(view(bytes), model, base, false);
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
    return readText(view(bytes), model, documentBase(fileName), true, fileName);
}

} // namespace lumora
