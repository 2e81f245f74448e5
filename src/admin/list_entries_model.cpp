#include "admin/list_entries_model.h"

namespace tarn {

int ListEntriesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant ListEntriesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const std::string_view entry = entries_[static_cast<size_t>(index.row())];
    return QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
}

void ListEntriesModel::change(const std::function<void(ListEntries&)>& change) {
    beginResetModel();
    try {
        change(entries_);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

}  // namespace tarn
