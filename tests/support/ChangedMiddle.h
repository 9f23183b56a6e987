#pragma once

#include <QtGlobal>

#include <utility>

namespace koro::test {

// How many leading and trailing items two sequences share, the trailing ones counted only
// after the leading: what lies between is all a single edit changed.
template <typename Sequence>
std::pair<qsizetype, qsizetype> commonEnds(const Sequence& before, const Sequence& after) {
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {head, tail};
}

} // namespace koro::test
