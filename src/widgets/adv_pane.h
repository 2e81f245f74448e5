#pragma once

#include <QColor>
#include <QFrame>
#include <QPointer>

#include "widgets/splitter_geometry.h"

namespace tarn {

class TAdvSplitter;

// One of the two panels of a TAdvSplitter: a coloured panel with two bevels chosen by its
// frame style, and one content widget that fills the room inside the bevels.
class TAdvPane : public QFrame {
    Q_OBJECT

  public:
    explicit TAdvPane(int tag, QWidget* parent = nullptr);

    // 1 for the splitter's first pane, 2 for its second.
    int Tag() const { return tag_; }

    TAdvFrameStyle FrameStyle() const { return frameStyle_; }
    void setFrameStyle(TAdvFrameStyle style);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    // The smallest extent that dragging the bar leaves this pane.
    quint16 MinSize() const { return minSize_; }
    void setMinSize(quint16 size) { minSize_ = size; }
    QColor Color() const { return color_; }
    void setColor(const QColor& color);

    // What clamping the bar needs to know of this pane.
    PaneLimits limits() const { return {minSize_, frameStyle_, bevelWidth_}; }

    // The pane takes `content` as its child and keeps it filling the room inside the bevels;
    // a content set earlier is deleted.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

  signals:
    void OnResize();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void applyFrame();

    int tag_;
    TAdvFrameStyle frameStyle_{TAdvFrameStyle::ftLowered};
    int bevelWidth_{1};
    quint16 minSize_{10};
    QColor color_;
    QPointer<QWidget> content_;
};

// The looks of one of a splitter's panes. Changes that move the room a pane needs re-clamp the
// bar and lay the panes out again; a hidden pane gives its room to the other.
class TAdvPaneSetting : public QObject {
    Q_OBJECT

  public:
    // `index` 0 is pane 1, 1 is pane 2.
    TAdvPaneSetting(TAdvSplitter* splitter, int index);

    QColor Color() const;
    void setColor(const QColor& color);
    TAdvFrameStyle FrameStyle() const;
    void setFrameStyle(TAdvFrameStyle style);
    quint16 FrameWidth() const;
    void setFrameWidth(quint16 width);
    quint16 MinSize() const;
    void setMinSize(quint16 size);
    bool Visible() const;
    void setVisible(bool visible);

  private:
    TAdvPane* pane() const;

    TAdvSplitter* splitter_;
    int index_;
};

}  // namespace tarn
