#include "widgets/adv_splitter.h"

#include <qdrawutil.h>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <vector>

namespace tarn {

// The drag outline: inverted rectangles on a transparent layer above the panes. Inverting the
// same rectangle again erases it, as drawing twice with XOR does.
class SplitterOutline : public QWidget {
  public:
    explicit SplitterOutline(QWidget* parent) : QWidget(parent), checker_(checkerPattern()) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

    void invert(const QRect& rect, bool checkered) {
        const auto same = std::find_if(drawn_.begin(), drawn_.end(),
                                       [&](const Inversion& drawn) { return drawn.rect == rect; });
        if (same != drawn_.end()) {
            drawn_.erase(same);
        } else {
            drawn_.push_back({rect, checkered});
        }
        setVisible(!drawn_.empty());
        if (!drawn_.empty())
            raise();
        update(rect);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (const Inversion& drawn : drawn_) {
            painter.fillRect(drawn.rect, drawn.checkered ? checker_ : QBrush(Qt::white));
        }
    }

  private:
    struct Inversion {
        QRect rect;
        bool checkered;
    };

    // 8 by 8, rows alternating 01010101 and 10101010; white bits invert, black ones keep.
    static QImage checkerPattern() {
        QImage pattern(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                pattern.setPixel(x, y, (x + y) % 2 == 1 ? 0xffffffu : 0x000000u);
            }
        }
        return pattern;
    }

    QBrush checker_;
    std::vector<Inversion> drawn_;
};

namespace {

QRect toQRect(const PaneRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

}  // namespace

TAdvSplitter::TAdvSplitter(QWidget* parent)
    : QWidget(parent),
      splitterColor_(QPalette().color(QPalette::Button)),
      color_(QPalette().color(QPalette::Button)),
      pane1_(new TAdvPane(1, this)),
      pane2_(new TAdvPane(2, this)),
      pane1Setting_(new TAdvPaneSetting(this, 0)),
      pane2Setting_(new TAdvPaneSetting(this, 1)),
      outline_(new SplitterOutline(this)) {
    setMouseTracking(true);
    resize(100, 100);
    for (TAdvPane* pane : {pane1_, pane2_}) {
        pane->installEventFilter(this);
        connect(pane, &TAdvPane::OnResize, this, &TAdvSplitter::OnPaneResize);
    }
    layoutPanes();
}

void TAdvSplitter::setBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    layoutPanes();
    update();
}

void TAdvSplitter::setOrientation(TSplitterOrientation orientation) {
    orientation_ = orientation;
    layoutPanes();
    update();
}

void TAdvSplitter::setPosition(int position) {
    position_ = position;
    layoutPanes();
    update();
}

void TAdvSplitter::setSplitterColor(const QColor& color) {
    splitterColor_ = color;
    update();
}

void TAdvSplitter::setThickness(int thickness) {
    thickness_ = std::max(0, thickness);
    layoutPanes();
    update();
}

void TAdvSplitter::setCtl3D(bool ctl3D) {
    ctl3D_ = ctl3D;
    layoutPanes();
    update();
}

void TAdvSplitter::setColor(const QColor& color) {
    color_ = color;
    update();
}

void TAdvSplitter::CenterPosition() {
    setPosition(splitGeometry().centerPosition());
}

int TAdvSplitter::borderWidth() const {
    if (borderStyle_ == TBorderStyle::bsNone)
        return 0;
    return ctl3D_ ? 2 : 1;
}

QRect TAdvSplitter::clientRect() const {
    const int border = borderWidth();
    return rect().adjusted(border, border, -border, -border);
}

QPoint TAdvSplitter::toClient(const QPointF& point) const {
    return point.toPoint() - clientRect().topLeft();
}

SplitterGeometry TAdvSplitter::splitGeometry() const {
    const QRect client = clientRect();
    return {orientation_, client.width(), client.height(), position_, thickness_};
}

bool TAdvSplitter::bothPanesVisible() const {
    return !pane1_->isHidden() && !pane2_->isHidden();
}

void TAdvSplitter::placePanes() {
    const SplitterLayout layout = splitGeometry().layout(!pane1_->isHidden(), !pane2_->isHidden());
    const QPoint origin = clientRect().topLeft();
    if (layout.pane1)
        pane1_->setGeometry(toQRect(*layout.pane1).translated(origin));
    if (layout.pane2)
        pane2_->setGeometry(toQRect(*layout.pane2).translated(origin));
    pane1_->update();
    pane2_->update();
    emit OnPaneResize();
}

void TAdvSplitter::layoutPanes() {
    placePanes();
    // A control without extent has no relative place to remember.
    if (const auto ratio = splitGeometry().ratio())
        ratio_ = *ratio;
}

void TAdvSplitter::reclampPosition() {
    position_ = splitGeometry().clampPosition(position_, pane1_->limits(), pane2_->limits());
    layoutPanes();
    update();
}

void TAdvSplitter::drawOutline(int position) {
    const SplitterGeometry atPosition(orientation_, clientRect().width(), clientRect().height(),
                                      position, thickness_);
    const bool checkered =
        splitterStyle_ == TSplitterStyle::ssCheckered && (splitterColor_.rgb() & 0xffffffu) != 0;
    outline_->invert(toQRect(atPosition.bar()).translated(clientRect().topLeft()), checkered);
    drawnOutline_ = drawnOutline_ == position ? -1 : position;
}

void TAdvSplitter::eraseOutline() {
    if (drawnOutline_ != -1)
        drawOutline(drawnOutline_);
}

bool TAdvSplitter::eventFilter(QObject* watched, QEvent* event) {
    const bool pane = watched == pane1_ || watched == pane2_;
    if (pane && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        layoutPanes();
        update();
    }
    // The panes inherit the splitter's cursor, so the split cursor must go when the pointer
    // leaves the bar for a pane.
    if (pane && event->type() == QEvent::Enter && !dragging_)
        unsetCursor();
    return QWidget::eventFilter(watched, event);
}

void TAdvSplitter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = clientRect();
    painter.fillRect(client, color_);
    if (bothPanesVisible()) {
        const QRect bar = toQRect(splitGeometry().bar()).translated(client.topLeft());
        painter.fillRect(bar, splitterColor_);
    }
    if (borderStyle_ == TBorderStyle::bsSingle) {
        if (ctl3D_) {
            qDrawWinPanel(&painter, rect(), palette(), true);
        } else {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
}

void TAdvSplitter::resizeEvent(QResizeEvent* event) {
    outline_->setGeometry(rect());
    if (proportionalResize_) {
        position_ = proportionalPosition(splitGeometry().extent(), ratio_);
        // The remembered place stays exact, so resizing back and forth does not creep.
        placePanes();
    } else {
        layoutPanes();
    }
    QWidget::resizeEvent(event);
    emit OnResize();
}

void TAdvSplitter::mousePressEvent(QMouseEvent* event) {
    const QPoint point = toClient(event->position());
    const bool onBar = clientRect().contains(event->position().toPoint()) &&
                       splitGeometry().onBar(point.x(), point.y());
    if (event->button() != Qt::LeftButton || !allowResize_ || !bothPanesVisible() || !onBar) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    if (!autoUpdate_)
        drawOutline(position_);
}

void TAdvSplitter::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = toClient(event->position());
    const SplitterGeometry current = splitGeometry();
    if (!dragging_) {
        const bool onBar = clientRect().contains(event->position().toPoint()) &&
                           bothPanesVisible() && current.onBar(point.x(), point.y());
        if (onBar) {
            setCursor(orientation_ == TSplitterOrientation::soHorizontal ? Qt::SplitVCursor
                                                                         : Qt::SplitHCursor);
        } else {
            unsetCursor();
        }
        return;
    }
    const int across = current.across(point.x(), point.y());
    if (!bothPanesVisible() ||
        !current.acceptsDragTo(across, pane1_->MinSize(), pane2_->MinSize())) {
        return;
    }
    const int clamped = current.clampPosition(across, pane1_->limits(), pane2_->limits());
    if (autoUpdate_) {
        position_ = clamped;
        layoutPanes();
        update();
    } else {
        eraseOutline();
        position_ = clamped;
        drawOutline(position_);
    }
}

void TAdvSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    eraseOutline();
    layoutPanes();
    update();
}

}  // namespace tarn
