#include "platform/x11_window_driver.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <thread>

namespace tarn {
namespace {

// Windows of another program come and go as they like: a request about one that has gone is
// not a fault of ours. Set around each use of the connection, so that no other Xlib user of
// the process (the toolkit's GL) loses its own handler.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

class ScopedErrors {
  public:
    explicit ScopedErrors(Display* display)
        : display_(display), previous_(XSetErrorHandler(ignoreError)) {}
    ~ScopedErrors() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ScopedErrors(const ScopedErrors&) = delete;
    ScopedErrors& operator=(const ScopedErrors&) = delete;

  private:
    Display* display_;
    XErrorHandler previous_;
};

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// The first item of a window property of 32-bit items, when it has one.
std::optional<unsigned long> cardinal(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> value;
    if (XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &format,
                           &items, &after, &data) == Success &&
        actualType == type && format == 32 && items >= 1) {
        value = *reinterpret_cast<unsigned long*>(data);
    }
    if (data)
        XFree(data);
    return value;
}

// Text at most 255 characters long, cut at a character boundary of its UTF-8.
std::string capped(std::string text) {
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xc0) != 0x80 && ++characters > 255) {
            text.resize(at);
            break;
        }
    }
    return text;
}

// The key a code of a key script stands for, apart from the modifiers.
KeySym keySymOf(unsigned char code) {
    switch (code) {
        case 8:
            return XK_BackSpace;
        case 9:
            return XK_Tab;
        case 13:
            return XK_Return;
        case 27:
            return XK_Escape;
        default:
            break;
    }
    if (code >= 228 && code <= 239)
        return XK_F1 + (code - 228);
    static constexpr std::array<KeySym, 10> kMoves{XK_Home,   XK_End,   XK_Up,    XK_Down,
                                                   XK_Left,   XK_Right, XK_Prior, XK_Next,
                                                   XK_Insert, XK_Delete};
    if (code >= 240 && code <= 249)
        return kMoves[code - 240];
    // Printable ASCII and Latin-1 characters are their own key symbols; control characters,
    // DEL and the C1 range have none to type.
    if ((code >= 32 && code < 127) || (code >= 160 && code < 228))
        return code;
    return NoSymbol;
}

struct Stroke {
    unsigned char code;
    KeyCode key;
    bool shifted;
};

std::string describe(unsigned char code) {
    if (code >= 32 && code < 127)
        return std::string("the character \"") + static_cast<char>(code) + "\"";
    return "the character of code " + std::to_string(code);
}

}  // namespace

X11WindowDriver::X11WindowDriver(const std::string& display) {
    const char* name = display.empty() ? nullptr : display.c_str();
    display_ = XOpenDisplay(name);
    if (!display_) {
        const std::string named = XDisplayName(name);
        unavailable_ = "The online-service client can only be driven on X11 or Xwayland, and " +
                       (named.empty() ? std::string("this session has no X display (DISPLAY is "
                                                    "not set).")
                                      : "the X display \"" + named + "\" could not be opened.");
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        unavailable_ =
            "The X display offers no XTest, so no keys can be typed into the "
            "online-service client.";
}

X11WindowDriver::~X11WindowDriver() {
    if (display_)
        XCloseDisplay(display_);
}

std::vector<ForeignWindow> X11WindowDriver::stack(ForeignWindow window) {
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<ForeignWindow> found;
    if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
        // The server lists them bottom first.
        for (unsigned i = count; i > 0; --i)
            found.push_back(children[i - 1]);
    }
    if (children)
        XFree(children);
    return found;
}

bool X11WindowDriver::isClient(ForeignWindow window) {
    XClassHint hint{};
    if (!XGetClassHint(display_, window, &hint))
        return false;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return true;
}

// Every program's top-level window, the topmost first, whether or not a window manager has
// framed it.
std::vector<ForeignWindow> X11WindowDriver::clients() {
    std::vector<ForeignWindow> found;
    std::vector<ForeignWindow> pending = stack(DefaultRootWindow(display_));
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const ForeignWindow window = pending.back();
        pending.pop_back();
        if (isClient(window)) {
            found.push_back(window);
            continue;
        }
        std::vector<ForeignWindow> inside = stack(window);
        pending.insert(pending.end(), inside.rbegin(), inside.rend());
    }
    return found;
}

ForeignWindow X11WindowDriver::parentOf(ForeignWindow window) {
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count))
        return 0;
    if (children)
        XFree(children);
    return parent == root ? 0 : parent;
}

ForeignWindow X11WindowDriver::clientOf(ForeignWindow window) {
    for (; window; window = parentOf(window)) {
        if (isClient(window))
            return window;
    }
    return 0;
}

bool X11WindowDriver::isInside(ForeignWindow window, ForeignWindow ancestor) {
    for (; window; window = parentOf(window)) {
        if (window == ancestor)
            return true;
    }
    return false;
}

ForeignWindow X11WindowDriver::findWindowByClass(const std::string& windowClass) {
    if (!display_)
        return 0;
    const ScopedErrors errors(display_);
    for (const ForeignWindow window : clients()) {
        // A program's dialogs carry its class too; its main window is no one's dialog.
        Window owner = None;
        if (XGetTransientForHint(display_, window, &owner))
            continue;
        XClassHint hint{};
        if (!XGetClassHint(display_, window, &hint))
            continue;
        const bool match = windowClass == hint.res_class;
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (match)
            return window;
    }
    return 0;
}

std::vector<ForeignWindow> X11WindowDriver::children(ForeignWindow window) {
    if (!display_ || !window)
        return {};
    const ScopedErrors errors(display_);
    std::vector<ForeignWindow> found = stack(window);
    const ForeignWindow owner = clientOf(window);
    if (!owner)
        return found;
    const Atom pidAtom = atom(display_, "_NET_WM_PID");
    const auto pid = cardinal(display_, owner, pidAtom, XA_CARDINAL);
    for (const ForeignWindow other : clients()) {
        if (other == owner)
            continue;
        Window transientFor = None;
        const bool transient =
            XGetTransientForHint(display_, other, &transientFor) && transientFor == owner;
        const bool sameProgram = pid && cardinal(display_, other, pidAtom, XA_CARDINAL) == pid;
        if (transient || sameProgram)
            found.push_back(other);
    }
    return found;
}

std::string X11WindowDriver::caption(ForeignWindow window) {
    if (!display_ || !window)
        return {};
    const ScopedErrors errors(display_);
    std::string text;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, atom(display_, "_NET_WM_NAME"), 0, 1024, False,
                           atom(display_, "UTF8_STRING"), &type, &format, &items, &after,
                           &data) == Success &&
        data && format == 8 && items > 0) {
        text.assign(reinterpret_cast<char*>(data), items);
    }
    if (data)
        XFree(data);
    if (text.empty()) {
        char* name = nullptr;
        if (XFetchName(display_, window, &name) && name) {
            text = name;
            XFree(name);
        }
    }
    return capped(std::move(text));
}

bool X11WindowDriver::exists(ForeignWindow window) {
    if (!display_ || !window)
        return false;
    const ScopedErrors errors(display_);
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) != 0;
}

bool X11WindowDriver::focused(ForeignWindow window) {
    if (!display_ || !window)
        return false;
    const ScopedErrors errors(display_);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == None || focus == PointerRoot)
        return false;
    // The focus on the window or inside it, or on the frame a window manager put round it.
    if (isInside(focus, window))
        return true;
    return !isClient(focus) && isInside(window, focus);
}

bool X11WindowDriver::windowManagerRuns() {
    const Window root = DefaultRootWindow(display_);
    const auto check =
        cardinal(display_, root, atom(display_, "_NET_SUPPORTING_WM_CHECK"), XA_WINDOW);
    if (!check)
        return false;
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, *check, &attributes) != 0;
}

bool X11WindowDriver::iconic(ForeignWindow window) {
    const Atom wmState = atom(display_, "WM_STATE");
    return cardinal(display_, window, wmState, wmState) == IconicState;
}

void X11WindowDriver::waitViewable(ForeignWindow window) {
    using namespace std::chrono;
    const auto until = steady_clock::now() + milliseconds(500);
    XWindowAttributes attributes;
    while (XGetWindowAttributes(display_, window, &attributes) &&
           attributes.map_state != IsViewable && steady_clock::now() < until) {
        XSync(display_, False);
        std::this_thread::sleep_for(milliseconds(10));
    }
}

void X11WindowDriver::show(ForeignWindow window) {
    if (!display_ || !window)
        return;
    const ScopedErrors errors(display_);
    XMapWindow(display_, window);
}

void X11WindowDriver::hide(ForeignWindow window) {
    if (!display_ || !window)
        return;
    const ScopedErrors errors(display_);
    XWithdrawWindow(display_, window, DefaultScreen(display_));
}

void X11WindowDriver::minimise(ForeignWindow window) {
    if (!display_ || !window)
        return;
    const ScopedErrors errors(display_);
    // Without a window manager nobody keeps icons: out of sight is what is left.
    if (windowManagerRuns())
        XIconifyWindow(display_, window, DefaultScreen(display_));
    else
        XUnmapWindow(display_, window);
}

void X11WindowDriver::activate(ForeignWindow window) {
    if (!display_ || !window)
        return;
    const ScopedErrors errors(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes))
        return;
    if (attributes.map_state != IsViewable || iconic(window))
        XMapWindow(display_, window);
    if (windowManagerRuns()) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom(display_, "_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;  // asked for by a pager: the user's own choice
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, DefaultRootWindow(display_), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display_);
        return;
    }
    XRaiseWindow(display_, window);
    waitViewable(window);
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
}

std::string X11WindowDriver::sendKeys(const std::string& codes) {
    if (!display_ || !unavailable_.empty())
        return unavailable_;
    const ScopedErrors errors(display_);
    // Every key is looked up first: a script that can not be typed whole is not typed at all.
    std::vector<Stroke> strokes;
    for (const char c : codes) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 250) {
            static constexpr std::array<KeySym, 3> kModifiers{XK_Shift_L, XK_Control_L, XK_Alt_L};
            const KeyCode key = XKeysymToKeycode(display_, kModifiers[(code - 250) / 2]);
            if (!key)
                return "The keyboard layout has no key for a modifier, so nothing was typed.";
            strokes.push_back({code, key, false});
            continue;
        }
        const KeySym symbol = keySymOf(code);
        const KeyCode key = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
        std::optional<bool> shifted;
        if (key) {
            if (XkbKeycodeToKeysym(display_, key, 0, 0) == symbol)
                shifted = false;
            else if (XkbKeycodeToKeysym(display_, key, 0, 1) == symbol)
                shifted = true;
        }
        if (!shifted)
            return "The keyboard layout can not type " + describe(code) +
                   ", so nothing was typed. Change the text or the keyboard layout.";
        strokes.push_back({code, key, *shifted});
    }
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    bool held = false;  // a modifier of the script is down
    for (const Stroke& stroke : strokes) {
        if (stroke.code >= 250) {
            const bool down = stroke.code % 2 == 0;
            XTestFakeKeyEvent(display_, stroke.key, down, CurrentTime);
            held = down;
        } else {
            const bool addShift = stroke.shifted && !held;
            if (addShift)
                XTestFakeKeyEvent(display_, shift, True, CurrentTime);
            XTestFakeKeyEvent(display_, stroke.key, True, CurrentTime);
            XTestFakeKeyEvent(display_, stroke.key, False, CurrentTime);
            if (addShift)
                XTestFakeKeyEvent(display_, shift, False, CurrentTime);
        }
        XFlush(display_);
    }
    return {};
}

}  // namespace tarn
