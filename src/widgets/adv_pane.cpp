#include "widgets/adv_pane.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QPalette>

#include <algorithm>

#include "widgets/adv_splitter.h"

namespace tarn {

namespace {

enum class Bevel { None, Raised, Lowered };

struct Bevels {
    Bevel inner, outer;
};

Bevels bevelsFor(TAdvFrameStyle style) {
    switch (style) {
        case TAdvFrameStyle::ftNone:
            return {Bevel::None, Bevel::None};
        case TAdvFrameStyle::ftRaised:
            return {Bevel::Raised, Bevel::Raised};
        case TAdvFrameStyle::ftLowered:
            return {Bevel::Lowered, Bevel::Lowered};
        case TAdvFrameStyle::ftCarved:
            return {Bevel::Raised, Bevel::Lowered};
        case TAdvFrameStyle::ftBump:
            return {Bevel::Lowered, Bevel::Raised};
    }
    return {Bevel::None, Bevel::None};
}

void drawBevel(QPainter& painter, const QRect& rect, Bevel bevel, int width,
               const QPalette& palette) {
    if (bevel == Bevel::None || width <= 0)
        return;
    qDrawShadePanel(&painter, rect, palette, bevel == Bevel::Lowered, width);
}

}  // namespace

TAdvPane::TAdvPane(int tag, QWidget* parent)
    : QFrame(parent), tag_(tag), color_(QPalette().color(QPalette::Button)) {
    setFrameShape(QFrame::NoFrame);
    applyFrame();
}

void TAdvPane::setFrameStyle(TAdvFrameStyle style) {
    frameStyle_ = style;
    applyFrame();
}

void TAdvPane::setBevelWidth(int width) {
    bevelWidth_ = std::max(0, width);
    applyFrame();
}

void TAdvPane::setColor(const QColor& color) {
    color_ = color;
    update();
}

void TAdvPane::setContent(QWidget* content) {
    if (content == content_)
        return;
    delete content_;
    content_ = content;
    if (content_ == nullptr)
        return;
    content_->setParent(this);
    content_->setGeometry(contentsRect());
    content_->show();
}

void TAdvPane::applyFrame() {
    const int room = frameStyle_ == TAdvFrameStyle::ftNone ? 0 : 2 * bevelWidth_;
    setContentsMargins(room, room, room, room);
    if (content_ != nullptr)
        content_->setGeometry(contentsRect());
    update();
}

void TAdvPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    const Bevels bevels = bevelsFor(frameStyle_);
    const QRect outer = rect();
    drawBevel(painter, outer, bevels.outer, bevelWidth_, palette());
    const QRect inner = outer.adjusted(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    drawBevel(painter, inner, bevels.inner, bevelWidth_, palette());
}

void TAdvPane::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (content_ != nullptr)
        content_->setGeometry(contentsRect());
    emit OnResize();
}

TAdvPaneSetting::TAdvPaneSetting(TAdvSplitter* splitter, int index)
    : QObject(splitter), splitter_(splitter), index_(index) {}

TAdvPane* TAdvPaneSetting::pane() const {
    return index_ == 0 ? splitter_->Pane1() : splitter_->Pane2();
}

QColor TAdvPaneSetting::Color() const {
    return pane()->Color();
}

void TAdvPaneSetting::setColor(const QColor& color) {
    pane()->setColor(color);
}

TAdvFrameStyle TAdvPaneSetting::FrameStyle() const {
    return pane()->FrameStyle();
}

void TAdvPaneSetting::setFrameStyle(TAdvFrameStyle style) {
    pane()->setFrameStyle(style);
    splitter_->reclampPosition();
}

quint16 TAdvPaneSetting::FrameWidth() const {
    return static_cast<quint16>(pane()->BevelWidth());
}

void TAdvPaneSetting::setFrameWidth(quint16 width) {
    pane()->setBevelWidth(width);
    splitter_->reclampPosition();
}

quint16 TAdvPaneSetting::MinSize() const {
    return pane()->MinSize();
}

void TAdvPaneSetting::setMinSize(quint16 size) {
    pane()->setMinSize(size);
    splitter_->reclampPosition();
}

bool TAdvPaneSetting::Visible() const {
    return !pane()->isHidden();
}

// The splitter watches its panes being shown and hidden and lays them out again.
void TAdvPaneSetting::setVisible(bool visible) {
    pane()->setVisible(visible);
}

}  // namespace tarn
