#pragma once

#include <QTreeWidgetItem>

#include "favorites/favorites_store.h"

namespace tarn {

// One row of the favourites list. Rows sort by the clicked column: two whole numbers other
// than 0 by value, anything else by the locale's case-sensitive comparison.
class FavoriteItem : public QTreeWidgetItem {
  public:
    explicit FavoriteItem(const FavoriteEntry& entry);
    FavoriteKind kind() const { return kind_; }
    // The entry's name in the favourites folder as listed, ".url" in its own letter case.
    const std::string& fileName() const { return fileName_; }
    bool operator<(const QTreeWidgetItem& other) const override;

  private:
    FavoriteKind kind_;
    std::string fileName_;
};

// The comparison of two cells of a sort, as above.
bool favoriteTextLess(const QString& a, const QString& b);

}  // namespace tarn
