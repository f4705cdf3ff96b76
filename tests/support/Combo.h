#pragma once

#include <QComboBox>
#include <QStringList>

namespace quorvane::test {

// The drop-down items of a combo box, in list order.
inline QStringList ItemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace quorvane::test
