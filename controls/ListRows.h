#pragma once
// The data behind the list view: its columns ("data") and its items, and the
// sort that orders the items by one column.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <vector>

#include "controls/Colors.h"

namespace lumora {

struct ListColumn {
  QString name;
  int32_t width = 1200;  // twips
  int32_t align = 0;     // 0 left, 1 right, 2 centre
  bool hidden = false;
  bool numeric = false;    // sorts by number; its in-place text editor takes numbers only
  bool useEditor = false;  // cells are edited in place
  QStringList comboItems;  // choices offered by the combo box
  QStringList listItems;   // choices offered by the list
};

struct ListItem {
  std::vector<QVariant> values;  // one per column: a number or a text
  std::vector<QVariant> aux;     // values not shown
  bool selected = false;
  bool marked = false;  // finds the current item again after a sort
  int32_t iconType = 0;
  Color dispColor = kDefaultColor;  // text colour, or the list's own
  bool hLine = false;               // a separator line under the item
};

// Sorts ascending by column (a Shell sort over the gaps 1, 4, 13, 40, ...,
// which keeps the order among equal values that users of the list know), then
// reverses the whole list for descending order. Numeric columns compare as
// numbers, others as lower-case texts.
void SortListItems(std::vector<ListItem>& items, int32_t column, bool numeric, bool descending);

}  // namespace lumora
