#include "controls/ListRows.h"

#include <algorithm>
#include <cmath>

#include "support/Rounding.h"

namespace lumora {

namespace {

QVariant ValueAt(const ListItem& item, int32_t column) {
  return column < static_cast<int32_t>(item.values.size()) ? item.values[column] : QVariant();
}

}  // namespace

void SortListItems(std::vector<ListItem>& items, int32_t column, bool numeric, bool descending) {
  const auto greater = [&](const ListItem& a, const ListItem& b) {
    const QVariant va = ValueAt(a, column);
    const QVariant vb = ValueAt(b, column);
    if (numeric) return va.toDouble() > vb.toDouble();
    return va.toString().toLower() > vb.toString().toLower();
  };
  const int64_t n = static_cast<int64_t>(items.size());
  int64_t gap = 1;
  while (gap <= n) gap = 3 * gap + 1;
  while (gap > 1) {
    gap = RoundHalfEven(static_cast<double>(gap) / 3);
    for (int64_t i = gap; i < n; ++i) {
      ListItem moving = std::move(items[i]);
      int64_t j = i;
      for (; j >= gap && greater(items[j - gap], moving); j -= gap) items[j] = std::move(items[j - gap]);
      items[j] = std::move(moving);
    }
  }
  if (descending) std::reverse(items.begin(), items.end());
}

}  // namespace lumora
