#pragma once

#include <QPoint>
#include <QPointer>
#include <QToolBar>
#include <memory>
#include <vector>

namespace tarn {

class TDock;

// A toolbar that sits in one of its docks or floats in a small window of its own. The user
// moves it by the grip at its start (or, while floating, by the window's caption): the toolbar
// follows the pointer, and on release it docks into the allowed dock under the pointer when
// that dock accepts dragged toolbars, and floats at the drop point otherwise.
class TDockToolbar : public QToolBar {
    Q_OBJECT

  public:
    TDockToolbar(const QString& caption, QWidget* parent);

    TDock* defaultDock() const { return defaultDock_; }
    void setDefaultDock(TDock* dock) { defaultDock_ = dock; }
    // The docks the toolbar may ever go to; its default dock always counts as one.
    const std::vector<TDock*>& allowedDocks() const { return allowedDocks_; }
    void setAllowedDocks(std::vector<TDock*> docks) { allowedDocks_ = std::move(docks); }
    bool mayDockIn(const TDock* dock) const;

    // Null while floating or before the toolbar was first placed.
    TDock* DockedTo() const { return dock_; }
    bool isFloating() const;

    void dockTo(TDock* dock, int row, int pos);
    void floatAt(const QPoint& globalTopLeft);
    // Where the floating window is, or was when the toolbar last floated.
    QPoint floatPosition() const;
    void setFloatPosition(const QPoint& globalTopLeft);
    // The size the floating window has, or would have.
    QSize floatSize() const;
    // The floating window, or null while docked.
    QWidget* floatingWindow() const;

    bool hasCloseButton() const { return closeButton_; }
    void setCloseButton(bool shown);

    // False only when the toolbar was hidden on purpose; a toolbar inside a hidden dock or
    // window still counts as shown.
    bool isShownByChoice() const;
    void setVisible(bool visible) override;

  signals:
    // The toolbar was docked, undocked, or moved to another place in its dock.
    void DockChanged();
    // The close button of the floating window was pressed.
    void CloseRequested();

  private:
    class DragHandle;
    class Grip;
    class FloatingWindow;

    void placeIn(TDock* dock, int row, int pos, bool newRow);
    void beginDrag(const QPoint& globalPointer);
    void dragTo(const QPoint& globalPointer);
    void endDrag(const QPoint& globalPointer);

    TDock* defaultDock_ = nullptr;
    std::vector<TDock*> allowedDocks_;
    TDock* dock_ = nullptr;
    QPointer<FloatingWindow> floatWindow_;
    QPoint floatPos_;
    bool closeButton_ = false;

    bool pressed_ = false;
    bool dragging_ = false;
    QPoint pressPos_;
    QPoint grabOffset_;  // pointer minus the dragged thing's top-left
    std::unique_ptr<QWidget> ghost_;
};

}  // namespace tarn
