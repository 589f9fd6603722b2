#include "MapText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lumora {

QByteArray shortestNumber(double value)
{
    if (std::isnan(value))
        return "null";
    if (std::isinf(value))
        return value > 0 ? "1e999" : "-1e999";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, end - buffer);
}

QByteArray jsonString(const QString &text)
{
    QByteArray out = "\"";
    for (char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

QByteArray xmlAttribute(const QString &text)
{
    QString escaped = text.toHtmlEscaped(); // &, <, >, "
    escaped.replace('\'', "&apos;");
    for (QChar c : {QChar('\n'), QChar('\r'), QChar('\t')})
        escaped.replace(c, QString("&#%1;").arg(c.unicode()));
    return escaped.toUtf8();
}

} // namespace lumora
