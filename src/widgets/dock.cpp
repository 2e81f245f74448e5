#include "widgets/dock.h"

#include <QChildEvent>
#include <algorithm>
#include <set>

#include "widgets/dock_toolbar.h"

namespace tarn {

TDock::TDock(Edge edge, QWidget* parent) : QWidget(parent), edge_(edge) {
    if (isHorizontal()) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    } else {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }
}

std::vector<TDockToolbar*> TDock::toolbars() const {
    std::vector<TDockToolbar*> result;
    for (int row = 0; row < rowCount(); ++row) {
        for (const Entry* entry : rowEntries(row)) {
            result.push_back(entry->toolbar);
        }
    }
    return result;
}

int TDock::rowCount() const {
    int count = 0;
    for (const Entry& entry : entries_) {
        count = std::max(count, entry.row + 1);
    }
    return count;
}

int TDock::rowOf(const TDockToolbar* toolbar) const {
    for (const Entry& entry : entries_) {
        if (entry.toolbar == toolbar) {
            return entry.row;
        }
    }
    return -1;
}

int TDock::posOf(const TDockToolbar* toolbar) const {
    for (const Entry& entry : entries_) {
        if (entry.toolbar == toolbar) {
            return entry.pos;
        }
    }
    return -1;
}

QRect TDock::dropZone() const {
    QRect zone(mapToGlobal(QPoint(0, 0)), size());
    switch (edge_) {
        case Edge::Top:
            zone.setBottom(zone.bottom() + kCatchDepth);
            break;
        case Edge::Bottom:
            zone.setTop(zone.top() - kCatchDepth);
            break;
        case Edge::Left:
            zone.setRight(zone.right() + kCatchDepth);
            break;
        case Edge::Right:
            zone.setLeft(zone.left() - kCatchDepth);
            break;
    }
    return zone;
}

DockSpot TDock::spotAt(const QPoint& globalPointer, const QPoint& globalTopLeft) const {
    const QPoint pointer = mapFromGlobal(globalPointer);
    const QPoint topLeft = mapFromGlobal(globalTopLeft);
    const int across = isHorizontal() ? pointer.y() : pointer.x();
    const int pos = std::max(0, isHorizontal() ? topLeft.x() : topLeft.y());
    if (across < 0) {
        return {0, pos, true};
    }
    const std::vector<RowBand> bands = rowBands();
    for (size_t row = 0; row < bands.size(); ++row) {
        if (across < bands[row].start + bands[row].depth) {
            return {static_cast<int>(row), pos, false};
        }
    }
    return {static_cast<int>(bands.size()), pos, true};
}

QSize TDock::sizeHint() const {
    int along = 0;
    int across = 0;
    for (int row = 0; row < rowCount(); ++row) {
        int rowAlong = 0;
        int rowAcross = 0;
        for (const Entry* entry : rowEntries(row)) {
            const QSize extent = extentOf(entry->toolbar);
            rowAlong += extent.width();
            rowAcross = std::max(rowAcross, extent.height());
        }
        along = std::max(along, rowAlong);
        across += rowAcross;
    }
    return isHorizontal() ? QSize(along, across) : QSize(across, along);
}

QSize TDock::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return isHorizontal() ? QSize(0, hint.height()) : QSize(hint.width(), 0);
}

bool TDock::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest) {
        // A docked toolbar's contents changed size.
        relayout();
        updateGeometry();
    }
    return QWidget::event(event);
}

void TDock::childEvent(QChildEvent* event) {
    if (event->removed()) {
        // Covers a toolbar moved elsewhere as well as one being destroyed.
        removeEntry(event->child());
    }
    QWidget::childEvent(event);
}

void TDock::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void TDock::place(TDockToolbar* toolbar, DockSpot spot) {
    // Rows are compacted only after the move, so `spot` keeps meaning the rows it was found in.
    const int row = std::max(0, spot.row);
    eraseEntry(toolbar);
    if (spot.newRow) {
        for (Entry& entry : entries_) {
            if (entry.row >= row) {
                ++entry.row;
            }
        }
    }
    if (toolbar->parentWidget() != this) {
        toolbar->setParent(this);
    }
    entries_.push_back({toolbar, row, std::max(0, spot.pos)});
    compactRows();
    relayout();
    updateGeometry();
}

bool TDock::eraseEntry(const QObject* toolbar) {
    const auto removed = std::remove_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.toolbar == toolbar;
    });
    const bool found = removed != entries_.end();
    entries_.erase(removed, entries_.end());
    return found;
}

void TDock::removeEntry(const QObject* toolbar) {
    if (!eraseEntry(toolbar)) {
        return;
    }
    compactRows();
    relayout();
    updateGeometry();
}

void TDock::compactRows() {
    std::set<int> used;
    for (const Entry& entry : entries_) {
        used.insert(entry.row);
    }
    for (Entry& entry : entries_) {
        entry.row = static_cast<int>(std::distance(used.begin(), used.find(entry.row)));
    }
}

std::vector<const TDock::Entry*> TDock::rowEntries(int row) const {
    std::vector<const Entry*> result;
    for (const Entry& entry : entries_) {
        if (entry.row == row) {
            result.push_back(&entry);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const Entry* a, const Entry* b) { return a->pos < b->pos; });
    return result;
}

std::vector<TDock::RowBand> TDock::rowBands() const {
    std::vector<RowBand> bands;
    int start = 0;
    for (int row = 0; row < rowCount(); ++row) {
        int depth = 0;
        for (const Entry* entry : rowEntries(row)) {
            depth = std::max(depth, extentOf(entry->toolbar).height());
        }
        bands.push_back({start, depth});
        start += depth;
    }
    return bands;
}

QSize TDock::extentOf(const TDockToolbar* toolbar) const {
    const QSize hint = toolbar->sizeHint();
    return isHorizontal() ? hint : hint.transposed();
}

void TDock::relayout() {
    const int length = isHorizontal() ? width() : height();
    const std::vector<RowBand> bands = rowBands();
    for (int row = 0; row < static_cast<int>(bands.size()); ++row) {
        int taken = 0;  // end of the previous toolbar in the row
        for (const Entry* entry : rowEntries(row)) {
            const int wanted = extentOf(entry->toolbar).width();
            int start = std::max(entry->pos, taken);
            if (start + wanted > length) {
                // Slide back towards the row's start rather than run off the dock.
                start = std::max(taken, length - wanted);
            }
            const int extent = std::max(0, std::min(wanted, length - start));
            const RowBand& band = bands[static_cast<size_t>(row)];
            if (isHorizontal()) {
                entry->toolbar->setGeometry(start, band.start, extent, band.depth);
            } else {
                entry->toolbar->setGeometry(band.start, start, band.depth, extent);
            }
            taken = start + extent;
        }
    }
}

TDock* findDropDock(const QPoint& globalPointer, const std::vector<TDock*>& candidates) {
    std::vector<TDock*> open;
    for (TDock* dock : candidates) {
        if (dock != nullptr && dock->AllowDrag() && dock->isVisible()) {
            open.push_back(dock);
        }
    }
    for (TDock* dock : open) {
        if (QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size()).contains(globalPointer)) {
            return dock;
        }
    }
    for (TDock* dock : open) {
        if (dock->dropZone().contains(globalPointer)) {
            return dock;
        }
    }
    return nullptr;
}

}  // namespace tarn
