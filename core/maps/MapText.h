#pragma once

#include <QByteArray>
#include <QString>

namespace lumora {

/// The shortest text that reads back to the same double; infinities as numbers too large
/// for a double (JSON readers turn them back into infinities), NaN as null.
QByteArray shortestNumber(double value);
/// A JSON string literal, UTF-8, with quotes, backslashes and control characters escaped.
QByteArray jsonString(const QString &text);
/// Text for an XML attribute value in double quotes.
QByteArray xmlAttribute(const QString &text);

} // namespace lumora
