#include "favorites/favorite_item.h"

#include <QTreeWidget>

namespace tarn {

namespace {

// A cell that reads as a whole number other than 0; 0 stands for any other text.
long long wholeNumber(const QString& text) {
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    return ok ? value : 0;
}

}  // namespace

FavoriteItem::FavoriteItem(const FavoriteEntry& entry)
    : kind_(entry.Kind), fileName_(entry.FileName) {
    setText(0, QString::fromStdString(entry.Name));
    setText(1, QString::fromStdString(entry.Location));
}

bool favoriteTextLess(const QString& a, const QString& b) {
    const long long x = wholeNumber(a);
    const long long y = wholeNumber(b);
    if (x != 0 && y != 0)
        return x < y;
    return QString::localeAwareCompare(a, b) < 0;
}

bool FavoriteItem::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return favoriteTextLess(text(column), other.text(column));
}

}  // namespace tarn
