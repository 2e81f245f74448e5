#pragma once

#include <string>
#include <vector>

namespace tarn {

// A window of another program; 0 is none.
using ForeignWindow = unsigned long;

// What driving another program through its windows needs: finding them, reading their
// captions, showing them and typing into them. X11WindowDriver is the real one.
class WindowDriver {
  public:
    virtual ~WindowDriver() = default;

    // Why no window can be driven here, or empty when they can.
    virtual std::string unavailable() const = 0;
    // The first top-level window, from the top, whose class is `windowClass` exactly and that is
    // no other window's dialog.
    virtual ForeignWindow findWindowByClass(const std::string& windowClass) = 0;
    // The windows inside `window`, the topmost first; then the program's other top-level
    // windows that belong to it (its dialogs), which toolkits make in place of child windows.
    virtual std::vector<ForeignWindow> children(ForeignWindow window) = 0;
    // At most 255 characters; empty for a window without one or that is gone.
    virtual std::string caption(ForeignWindow window) = 0;
    virtual bool exists(ForeignWindow window) = 0;
    // True when the keyboard focus is in the window.
    virtual bool focused(ForeignWindow window) = 0;

    // Shows it in its normal state.
    virtual void show(ForeignWindow window) = 0;
    virtual void hide(ForeignWindow window) = 0;
    virtual void minimise(ForeignWindow window) = 0;
    // Restores it when minimised or hidden, brings it to the top and gives it the focus.
    virtual void activate(ForeignWindow window) = 0;
    // Types the codes of a key script (see key_script.h) into whatever has the focus. A code
    // the keyboard layout can not produce refuses the whole script before any key is sent;
    // the answer says why, and is empty when every key was sent.
    virtual std::string sendKeys(const std::string& codes) = 0;
};

}  // namespace tarn
