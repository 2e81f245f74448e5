#include "widgets/toolbar_state.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "settings/settings_store.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn {
namespace {

constexpr char kVisible[] = "Visible";
constexpr char kDockedTo[] = "DockedTo";
constexpr char kDockRow[] = "DockRow";
constexpr char kDockPos[] = "DockPos";
constexpr char kFloatLeft[] = "FloatLeft";
constexpr char kFloatTop[] = "FloatTop";

// The part of a floating window the user takes hold of: its caption strip's start.
constexpr QSize kHoldArea(32, 16);

TDock* dockNamed(const std::vector<TDock*>& docks, const std::string& name) {
    for (TDock* dock : docks) {
        if (dock != nullptr && dock->objectName().toStdString() == name) {
            return dock;
        }
    }
    return nullptr;
}

QPoint onScreen(const QPoint& topLeft, const QSize& size) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return topLeft;
    }
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    return bringOnScreen(topLeft, size, screens, primary->availableGeometry());
}

int clampInto(int start, int extent, int low, int high) {
    return std::max(low, std::min(start, high - extent));
}

}  // namespace

ToolbarState captureToolbarState(const TDockToolbar& toolbar) {
    ToolbarState state;
    state.Visible = toolbar.isShownByChoice();
    if (const TDock* dock = toolbar.DockedTo()) {
        state.DockedTo = dock->objectName().toStdString();
        state.DockRow = dock->rowOf(&toolbar);
        state.DockPos = dock->posOf(&toolbar);
    }
    const QPoint floatPos = toolbar.floatPosition();
    state.FloatLeft = floatPos.x();
    state.FloatTop = floatPos.y();
    return state;
}

void applyToolbarState(TDockToolbar& toolbar, const ToolbarState& state,
                       const std::vector<TDock*>& docks) {
    const QPoint floatPos(state.FloatLeft, state.FloatTop);
    if (state.DockedTo.empty()) {
        toolbar.floatAt(floatPos);
        // Checked with the real window's size, known only once it floats.
        toolbar.setFloatPosition(onScreen(floatPos, toolbar.floatSize()));
    } else {
        toolbar.setFloatPosition(onScreen(floatPos, toolbar.floatSize()));
        TDock* dock = dockNamed(docks, state.DockedTo);
        if (!toolbar.mayDockIn(dock)) {
            dock = toolbar.defaultDock();
        }
        toolbar.dockTo(dock, state.DockRow, state.DockPos);
    }
    toolbar.setVisible(state.Visible);
}

QPoint bringOnScreen(const QPoint& topLeft, const QSize& size, const QList<QRect>& screens,
                     const QRect& primary) {
    const QRect hold(topLeft, size.boundedTo(kHoldArea));
    for (const QRect& screen : screens) {
        if (screen.contains(hold)) {
            return topLeft;
        }
    }
    return {clampInto(topLeft.x(), size.width(), primary.left(), primary.right() + 1),
            clampInto(topLeft.y(), size.height(), primary.top(), primary.bottom() + 1)};
}

void saveToolbarState(std::string_view configKey, std::string_view toolbarName,
                      const ToolbarState& state) {
    SettingsStore store(configKey);
    store.in_transaction([&] {
        store.write_bool(toolbarName, kVisible, state.Visible);
        store.write_string(toolbarName, kDockedTo, state.DockedTo);
        store.write_int(toolbarName, kDockRow, state.DockRow);
        store.write_int(toolbarName, kDockPos, state.DockPos);
        store.write_int(toolbarName, kFloatLeft, state.FloatLeft);
        store.write_int(toolbarName, kFloatTop, state.FloatTop);
    });
}

std::optional<ToolbarState> loadToolbarState(std::string_view configKey,
                                             std::string_view toolbarName) {
    SettingsStore store(configKey);
    std::vector<std::string> names;
    store.list_values(toolbarName, names);
    if (names.empty()) {
        return std::nullopt;
    }
    const ToolbarState defaults;
    ToolbarState state;
    state.Visible = store.read_bool(toolbarName, kVisible, defaults.Visible);
    state.DockedTo = store.read_string(toolbarName, kDockedTo, defaults.DockedTo);
    state.DockRow = store.read_int(toolbarName, kDockRow, defaults.DockRow);
    state.DockPos = store.read_int(toolbarName, kDockPos, defaults.DockPos);
    state.FloatLeft = store.read_int(toolbarName, kFloatLeft, defaults.FloatLeft);
    state.FloatTop = store.read_int(toolbarName, kFloatTop, defaults.FloatTop);
    return state;
}

}  // namespace tarn
