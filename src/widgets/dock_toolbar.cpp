#include "widgets/dock_toolbar.h"

#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/dock.h"

namespace tarn {

// Any part of the toolbar the user can take hold of to move it.
class TDockToolbar::DragHandle : public QWidget {
  public:
    DragHandle(TDockToolbar* owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            owner_->beginDrag(event->globalPosition().toPoint());
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            owner_->dragTo(event->globalPosition().toPoint());
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            owner_->endDrag(event->globalPosition().toPoint());
        }
    }

    TDockToolbar* owner_;
};

class TDockToolbar::Grip : public DragHandle {
  public:
    explicit Grip(TDockToolbar* owner) : DragHandle(owner, owner) {
        setObjectName(QStringLiteral("DockGrip"));
        setCursor(Qt::SizeAllCursor);
    }
    QSize sizeHint() const override { return {10, 10}; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        if (owner_->orientation() == Qt::Horizontal) {
            option.state |= QStyle::State_Horizontal;
        }
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
    }
};

// The small window a floating toolbar lives in: a caption bar to hold it by, with a close
// button when the toolbar has one, above the toolbar itself.
class TDockToolbar::FloatingWindow : public QFrame {
  public:
    FloatingWindow(TDockToolbar* owner, QWidget* host)
        : QFrame(host, Qt::Tool | Qt::FramelessWindowHint), owner_(owner) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setWindowTitle(owner->windowTitle());

        auto* title = new DragHandle(owner, this);
        auto* caption = new QLabel(owner->windowTitle(), title);
        caption->setObjectName(QStringLiteral("Caption"));
        caption->setAttribute(Qt::WA_TransparentForMouseEvents);
        closeButton_ = new QToolButton(title);
        closeButton_->setObjectName(QStringLiteral("CloseButton"));
        closeButton_->setAutoRaise(true);
        closeButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
        closeButton_->setVisible(owner->hasCloseButton());
        connect(closeButton_, &QToolButton::clicked, owner, &TDockToolbar::CloseRequested);

        auto* titleLayout = new QHBoxLayout(title);
        titleLayout->setContentsMargins(4, 1, 1, 1);
        titleLayout->addWidget(caption, 1);
        titleLayout->addWidget(closeButton_);

        layout_ = new QVBoxLayout(this);
        layout_->setContentsMargins(2, 2, 2, 2);
        layout_->setSpacing(1);
        layout_->addWidget(title);
    }

    void adopt(TDockToolbar* toolbar) { layout_->addWidget(toolbar); }
    void showCloseButton(bool shown) { closeButton_->setVisible(shown); }

  protected:
    // These toolbars are never closed by the window system; the close button asks the owner.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (owner_ && owner_->hasCloseButton()) {
            emit owner_->CloseRequested();
        }
    }
    // Once its toolbar has docked or been destroyed the window has no more use. Later, because
    // it may be delivering the mouse event that docked the toolbar.
    void childEvent(QChildEvent* event) override {
        if (event->removed() && event->child() == owner_) {
            owner_ = nullptr;
            hide();
            deleteLater();
        }
        QFrame::childEvent(event);
    }

  private:
    TDockToolbar* owner_;
    QVBoxLayout* layout_;
    QToolButton* closeButton_;
};

TDockToolbar::TDockToolbar(const QString& caption, QWidget* parent) : QToolBar(caption, parent) {
    // Moving and floating are ours, not QMainWindow's.
    setMovable(false);
    setFloatable(false);
    addWidget(new Grip(this));
}

bool TDockToolbar::mayDockIn(const TDock* dock) const {
    return dock != nullptr &&
           (dock == defaultDock_ ||
            std::find(allowedDocks_.begin(), allowedDocks_.end(), dock) != allowedDocks_.end());
}

void TDockToolbar::dockTo(TDock* dock, int row, int pos) {
    placeIn(dock, row, pos, false);
}

void TDockToolbar::placeIn(TDock* dock, int row, int pos, bool newRow) {
    if (dock == nullptr) {
        return;
    }
    const bool shown = isShownByChoice();
    TDock* const oldDock = dock_;
    const int oldRow = oldDock ? oldDock->rowOf(this) : -1;
    const int oldPos = oldDock ? oldDock->posOf(this) : -1;
    if (floatWindow_) {
        floatPos_ = floatWindow_->pos();
    }
    floatWindow_ = nullptr;

    setOrientation(dock->isHorizontal() ? Qt::Horizontal : Qt::Vertical);
    dock->place(this, {row, pos, newRow});
    dock_ = dock;
    if (shown) {
        show();
    }
    if (oldDock != dock || oldRow != dock->rowOf(this) || oldPos != dock->posOf(this)) {
        emit DockChanged();
    }
}

void TDockToolbar::floatAt(const QPoint& globalTopLeft) {
    const bool shown = isShownByChoice();
    const bool wasDocked = dock_ != nullptr;
    if (!floatWindow_) {
        QWidget* host = isWindow() ? nullptr : window();
        auto* floating = new FloatingWindow(this, host);
        dock_ = nullptr;
        setOrientation(Qt::Horizontal);
        floating->adopt(this);
        floatWindow_ = floating;
    }
    floatWindow_->adjustSize();
    setFloatPosition(globalTopLeft);
    if (shown) {
        show();
    }
    if (wasDocked) {
        emit DockChanged();
    }
}

bool TDockToolbar::isFloating() const {
    return floatWindow_ != nullptr;
}

QPoint TDockToolbar::floatPosition() const {
    return floatWindow_ ? floatWindow_->pos() : floatPos_;
}

void TDockToolbar::setFloatPosition(const QPoint& globalTopLeft) {
    floatPos_ = globalTopLeft;
    if (floatWindow_) {
        floatWindow_->move(globalTopLeft);
    }
}

QSize TDockToolbar::floatSize() const {
    if (floatWindow_) {
        return floatWindow_->size();
    }
    const QSize hint = orientation() == Qt::Horizontal ? sizeHint() : sizeHint().transposed();
    return hint + QSize(4, 24);  // frame and caption bar
}

QWidget* TDockToolbar::floatingWindow() const {
    return floatWindow_.data();
}

void TDockToolbar::setCloseButton(bool shown) {
    closeButton_ = shown;
    if (floatWindow_) {
        floatWindow_->showCloseButton(shown);
    }
}

bool TDockToolbar::isShownByChoice() const {
    return !(isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide));
}

void TDockToolbar::setVisible(bool visible) {
    QToolBar::setVisible(visible);
    // A floating toolbar shows and hides together with its window.
    if (floatWindow_ && floatWindow_->isHidden() == visible) {
        floatWindow_->setVisible(visible);
    }
}

void TDockToolbar::beginDrag(const QPoint& globalPointer) {
    pressed_ = true;
    dragging_ = false;
    pressPos_ = globalPointer;
    const QPoint topLeft = floatWindow_ ? floatWindow_->pos() : mapToGlobal(QPoint(0, 0));
    grabOffset_ = globalPointer - topLeft;
}

void TDockToolbar::dragTo(const QPoint& globalPointer) {
    if (!pressed_) {
        return;
    }
    if (!dragging_ &&
        (globalPointer - pressPos_).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    dragging_ = true;
    const QPoint topLeft = globalPointer - grabOffset_;
    if (floatWindow_) {
        setFloatPosition(topLeft);
        return;
    }
    // A docked toolbar stays put until the drop; an image of it follows the pointer.
    if (!ghost_) {
        auto ghost = std::make_unique<QLabel>(
            nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
        ghost->setAttribute(Qt::WA_ShowWithoutActivating);
        ghost->setAttribute(Qt::WA_TransparentForMouseEvents);
        ghost->setPixmap(grab());
        ghost->setWindowOpacity(0.7);
        ghost_ = std::move(ghost);
    }
    ghost_->move(topLeft);
    ghost_->show();
}

void TDockToolbar::endDrag(const QPoint& globalPointer) {
    if (!pressed_) {
        return;
    }
    pressed_ = false;
    ghost_.reset();
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    std::vector<TDock*> candidates = allowedDocks_;
    if (defaultDock_) {
        candidates.push_back(defaultDock_);
    }
    const QPoint topLeft = globalPointer - grabOffset_;
    if (TDock* target = findDropDock(globalPointer, candidates)) {
        const DockSpot spot = target->spotAt(globalPointer, topLeft);
        placeIn(target, spot.row, spot.pos, spot.newRow);
    } else {
        floatAt(topLeft);
    }
}

}  // namespace tarn
