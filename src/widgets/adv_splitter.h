#pragma once

#include <QColor>
#include <QWidget>

#include "widgets/adv_pane.h"
#include "widgets/splitter_geometry.h"

namespace tarn {

enum class TBorderStyle { bsNone, bsSingle };

class SplitterOutline;

// A control that always owns two panes separated by a bar the user can drag. The bar's
// position is the extent of pane 1 in pixels; a hidden pane gives its room to the other.
class TAdvSplitter : public QWidget {
    Q_OBJECT

  public:
    explicit TAdvSplitter(QWidget* parent = nullptr);

    bool AllowResize() const { return allowResize_; }
    void setAllowResize(bool allow) { allowResize_ = allow; }
    // Whether the panes follow the pointer while dragging, rather than an outline.
    bool AutoUpdate() const { return autoUpdate_; }
    void setAutoUpdate(bool follow) { autoUpdate_ = follow; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle style);
    TSplitterOrientation Orientation() const { return orientation_; }
    void setOrientation(TSplitterOrientation orientation);
    // Whether resizing the control keeps the bar at its relative place.
    bool ProportionalResize() const { return proportionalResize_; }
    void setProportionalResize(bool proportional) { proportionalResize_ = proportional; }
    int Position() const { return position_; }
    // Not clamped: callers keep it within the client extent.
    void setPosition(int position);
    QColor SplitterColor() const { return splitterColor_; }
    void setSplitterColor(const QColor& color);
    TSplitterStyle SplitterStyle() const { return splitterStyle_; }
    void setSplitterStyle(TSplitterStyle style) { splitterStyle_ = style; }
    int Thickness() const { return thickness_; }
    void setThickness(int thickness);
    bool Ctl3D() const { return ctl3D_; }
    void setCtl3D(bool ctl3D);
    QColor Color() const { return color_; }
    void setColor(const QColor& color);

    TAdvPaneSetting* Pane1Setting() const { return pane1Setting_; }
    TAdvPaneSetting* Pane2Setting() const { return pane2Setting_; }
    TAdvPane* Pane1() const { return pane1_; }
    TAdvPane* Pane2() const { return pane2_; }

    // Puts the bar in the middle of the client extent.
    void CenterPosition();

    // The area inside the border, where the panes and the bar go.
    QRect clientRect() const;

  signals:
    void OnPaneResize();
    void OnResize();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    friend class TAdvPaneSetting;

    SplitterGeometry splitGeometry() const;
    bool bothPanesVisible() const;
    int borderWidth() const;
    QPoint toClient(const QPointF& point) const;
    void placePanes();
    void layoutPanes();
    void reclampPosition();
    void drawOutline(int position);
    void eraseOutline();

    bool allowResize_{true};
    bool autoUpdate_{false};
    TBorderStyle borderStyle_{TBorderStyle::bsNone};
    TSplitterOrientation orientation_{TSplitterOrientation::soVertical};
    bool proportionalResize_{false};
    int position_{50};
    QColor splitterColor_;
    TSplitterStyle splitterStyle_{TSplitterStyle::ssCheckered};
    int thickness_{2};
    bool ctl3D_{true};
    QColor color_;

    TAdvPane* pane1_;
    TAdvPane* pane2_;
    TAdvPaneSetting* pane1Setting_;
    TAdvPaneSetting* pane2Setting_;
    SplitterOutline* outline_;

    int drawnOutline_{-1};
    bool dragging_{false};
    double ratio_{0.5};
};

}  // namespace tarn
