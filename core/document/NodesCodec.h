#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>

#include <optional>

namespace lumora {

/// The clipboard encoding of LED positions, JSON {"nodes": [[x, y], ...]}, under the key
/// "nodes". Kept in the core so that it can be fuzzed and tested without a window.
QByteArray encodeNodes(const QList<QPointF> &positions);
/// None when the data is not such an encoding; entries must be pairs of finite numbers.
std::optional<QList<QPointF>> decodeNodes(const QByteArray &data);

} // namespace lumora
