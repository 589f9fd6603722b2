#pragma once

#include <QList>

#include <algorithm>
#include <vector>

namespace lumora {

/// Moves one element: `to` names a gap of the list as it was before the move, so the
/// element lands in front of the element that was at `to`, and `to` = size moves it to the
/// end. Indices out of range leave the list alone.
template <class T>
void moveObjectAtIndex(QList<T> &list, qsizetype from, qsizetype to)
{
    if (from < 0 || from >= list.size() || to < 0 || to > list.size())
        return;
    T element = list.takeAt(from);
    list.insert(from < to ? to - 1 : to, std::move(element));
}

/// Moves the elements at the given indices together to the gap `destination` (counted in
/// the list before the move), keeping their relative order. Indices out of range are
/// ignored.
template <class T>
void moveItemsAtIndexes(QList<T> &list, std::vector<qsizetype> indexes, qsizetype destination)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    QList<T> moved;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it < 0 || *it >= list.size())
            continue;
        moved.append(list.takeAt(*it));
        if (*it < destination)
            --destination;
    }
    destination = std::clamp<qsizetype>(destination, 0, list.size());
    for (T &item : moved)
        list.insert(destination, std::move(item));
}

} // namespace lumora
