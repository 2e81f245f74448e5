#pragma once

#include "platform/window_driver.h"

struct _XDisplay;

namespace tarn {

// Drives other programs' windows on an X server (X11 or Xwayland) through its own connection:
// classes from WM_CLASS, captions from _NET_WM_NAME or WM_NAME, showing and focusing through
// the window manager when one runs (raising and focusing directly when none does), and keys
// through XTest with the key codes and Shift of the active keyboard layout.
class X11WindowDriver : public WindowDriver {
  public:
    // Connects to `display`, or to the one DISPLAY names when it is empty.
    explicit X11WindowDriver(const std::string& display = {});
    ~X11WindowDriver() override;
    X11WindowDriver(const X11WindowDriver&) = delete;
    X11WindowDriver& operator=(const X11WindowDriver&) = delete;

    std::string unavailable() const override { return unavailable_; }
    ForeignWindow findWindowByClass(const std::string& windowClass) override;
    std::vector<ForeignWindow> children(ForeignWindow window) override;
    std::string caption(ForeignWindow window) override;
    bool exists(ForeignWindow window) override;
    bool focused(ForeignWindow window) override;
    void show(ForeignWindow window) override;
    void hide(ForeignWindow window) override;
    void minimise(ForeignWindow window) override;
    void activate(ForeignWindow window) override;
    std::string sendKeys(const std::string& codes) override;

  private:
    std::vector<ForeignWindow> stack(ForeignWindow window);
    std::vector<ForeignWindow> clients();
    bool isClient(ForeignWindow window);
    // The window that holds `window`; 0 for a window of the root or one that is gone.
    ForeignWindow parentOf(ForeignWindow window);
    bool isInside(ForeignWindow window, ForeignWindow ancestor);
    ForeignWindow clientOf(ForeignWindow window);
    bool windowManagerRuns();
    bool iconic(ForeignWindow window);
    void waitViewable(ForeignWindow window);

    _XDisplay* display_ = nullptr;
    std::string unavailable_;
};

}  // namespace tarn
