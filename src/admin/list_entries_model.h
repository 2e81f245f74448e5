#pragma once

#include <QAbstractListModel>
#include <functional>

#include "settings/list_entries.h"

namespace tarn {

// Shows a list part's entries without an item for each: a part of a million entries loads and
// changes as fast as the store does.
class ListEntriesModel : public QAbstractListModel {
    Q_OBJECT

  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const ListEntries& entries() const { return entries_; }
    // Runs `change` on the entries and shows the result, also when it throws.
    void change(const std::function<void(ListEntries&)>& change);

  private:
    ListEntries entries_;
};

}  // namespace tarn
