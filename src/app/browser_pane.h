#pragma once

#include <QString>
#include <memory>

class QLabel;
class QProgressBar;
class QStatusBar;
class QToolButton;
class QWidget;

namespace tarn {

class PolicySlot;
class TBusyIndicator;
class TDock;
class TDockToolbar;
class TUrlComboBox;
class TWebBrowser;

// The controls of one browser pane, named as the window names them: pane 1 is LeftTopPanel with
// WebBrowser1, LeftTopURL, LTToolbar and so on.
struct BrowserPane {
    int number{};
    QWidget* panel{};  // LeftTopPanel, LeftBottomPanel, RightTopPanel, RightBottomPanel
    TWebBrowser* browser{};
    TDock* topDock{};
    TDock* bottomDock{};
    TDockToolbar* toolbar{};
    QToolButton* numberButton{};
    QToolButton* backButton{};
    QToolButton* forwardButton{};
    QToolButton* stopButton{};
    QToolButton* refreshButton{};
    QToolButton* popupButton{};
    QToolButton* zoomButton{};
    QWidget* animatePanel{};
    TBusyIndicator* animate{};
    TUrlComboBox* url{};
    QStatusBar* statusBar{};
    QProgressBar* progressBar{};
    QLabel* statePanel{};      // the status bar's second panel: the navigation state
    QLabel* statusPanel{};     // the third: the engine's status text
    bool listDropped = false;  // the address box's list opened: the next change navigates
};

// Builds pane `number` (1 to 4) with its controls inside a new panel owned by `parent`; its
// browser asks `policy`.
BrowserPane buildBrowserPane(int number, std::shared_ptr<const PolicySlot> policy, QWidget* parent);

}  // namespace tarn
