#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

namespace tarn {

class TDockToolbar;

// Where a dropped toolbar goes inside a dock: `newRow` asks for a row of its own opened at `row`.
struct DockSpot {
    int row = 0;
    int pos = 0;
    bool newRow = false;
};

// An edge container for docking toolbars. Toolbars sit in rows; within a row they are ordered
// by their position (pixels from the row's start) and never overlap. Horizontal docks stack
// their rows downwards, vertical docks side by side and turn their toolbars upright. A dock
// without toolbars takes no room, so empty docks stay invisible.
class TDock : public QWidget {
    Q_OBJECT

  public:
    enum class Edge { Top, Bottom, Left, Right };

    TDock(Edge edge, QWidget* parent);

    Edge edge() const { return edge_; }
    bool isHorizontal() const { return edge_ == Edge::Top || edge_ == Edge::Bottom; }

    // Whether toolbars may be dragged into the dock; a refused dock keeps the toolbars it has.
    bool AllowDrag() const { return allowDrag_; }
    void setAllowDrag(bool allow) { allowDrag_ = allow; }

    // The docked toolbars, row by row and in position order within a row.
    std::vector<TDockToolbar*> toolbars() const;
    int rowCount() const;
    // Row and requested position of a docked toolbar; -1 when it is not in this dock.
    int rowOf(const TDockToolbar* toolbar) const;
    int posOf(const TDockToolbar* toolbar) const;

    // The screen area in which a dragged toolbar's pointer counts as over this dock: the dock
    // itself and a strip inwards from its edge, so that an empty dock can still be hit.
    QRect dropZone() const;
    // The place a toolbar dropped with its top-left corner at `globalTopLeft` takes, given
    // the pointer at `globalPointer`.
    DockSpot spotAt(const QPoint& globalPointer, const QPoint& globalTopLeft) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int kCatchDepth = 16;

  protected:
    bool event(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    friend class TDockToolbar;

    struct Entry {
        TDockToolbar* toolbar;
        int row;
        int pos;
    };
    struct RowBand {
        int start;
        int depth;
    };

    // Takes `toolbar` into the dock at `row` (rows at or past the end add one row) and `pos`.
    void place(TDockToolbar* toolbar, DockSpot spot);
    bool eraseEntry(const QObject* toolbar);
    void removeEntry(const QObject* toolbar);
    void compactRows();
    std::vector<const Entry*> rowEntries(int row) const;
    std::vector<RowBand> rowBands() const;
    QSize extentOf(const TDockToolbar* toolbar) const;  // along the row, across it
    void relayout();

    Edge edge_;
    bool allowDrag_ = true;
    std::vector<Entry> entries_;
};

// The dock among `candidates` that accepts a toolbar dropped with the pointer at
// `globalPointer`: visible, allowing drags, and with the point in its drop zone. A dock the
// point is really inside wins over one whose catch strip it only touches. Null when none.
TDock* findDropDock(const QPoint& globalPointer, const std::vector<TDock*>& candidates);

}  // namespace tarn
