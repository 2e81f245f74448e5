#include "app/browser_pane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "widgets/busy_indicator.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn {

namespace {

struct PaneNames {
    const char* panel;
    const char* prefix;       // LeftTop, LeftBottom, ...
    const char* shortPrefix;  // LT, LB, ...
    const char* topDock;
    const char* bottomDock;
};

constexpr PaneNames kNames[4] = {
    {"LeftTopPanel", "LeftTop", "LT", "Dock975", "Dock977"},
    {"LeftBottomPanel", "LeftBottom", "LB", "Dock9713", "Dock9715"},
    {"RightTopPanel", "RightTop", "RT", "Dock979", "Dock9711"},
    {"RightBottomPanel", "RightBottom", "RB", "Dock9717", "Dock9719"},
};

QString name(const char* a, const char* b = "") {
    return QString::fromLatin1(a) + QString::fromLatin1(b);
}

QToolButton* addButton(TDockToolbar* toolbar, const QString& objectName,
                       QStyle::StandardPixmap icon, const QString& hint) {
    auto* button = new QToolButton(toolbar);
    button->setObjectName(objectName);
    button->setIcon(toolbar->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    toolbar->addWidget(button);
    return button;
}

}  // namespace

BrowserPane buildBrowserPane(int number, std::shared_ptr<const PolicySlot> policy,
                             QWidget* parent) {
    const PaneNames& n = kNames[number - 1];
    BrowserPane pane;
    pane.number = number;
    pane.panel = new QWidget(parent);
    pane.panel->setObjectName(name(n.panel));

    pane.topDock = new TDock(TDock::Edge::Top, pane.panel);
    pane.topDock->setObjectName(name(n.topDock));
    pane.bottomDock = new TDock(TDock::Edge::Bottom, pane.panel);
    pane.bottomDock->setObjectName(name(n.bottomDock));

    pane.browser = new TWebBrowser(policy, pane.panel);
    pane.browser->setObjectName(QStringLiteral("WebBrowser%1").arg(number));

    auto* toolbar = new TDockToolbar(QStringLiteral("Web%1 Toolbar").arg(number), pane.panel);
    toolbar->setObjectName(name(n.shortPrefix, "Toolbar"));
    pane.toolbar = toolbar;

    pane.numberButton = new QToolButton(toolbar);
    pane.numberButton->setText(QString::number(number));
    pane.numberButton->setToolTip(
        QStringLiteral("This toolbar belongs to Web Pane %1").arg(number));
    pane.numberButton->setEnabled(false);
    pane.numberButton->setAutoRaise(true);
    toolbar->addWidget(pane.numberButton);
    toolbar->addSeparator();

    pane.backButton =
        addButton(toolbar, name(n.prefix, "BackBtn"), QStyle::SP_ArrowBack, QStringLiteral("Back"));
    pane.forwardButton = addButton(toolbar, name(n.prefix, "ForBtn"), QStyle::SP_ArrowForward,
                                   QStringLiteral("Forward"));
    pane.stopButton = addButton(toolbar, name(n.prefix, "StopBtn"), QStyle::SP_BrowserStop,
                                QStringLiteral("Stop"));
    pane.refreshButton = addButton(toolbar, name(n.prefix, "RefreshBtn"), QStyle::SP_BrowserReload,
                                   QStringLiteral("Refresh"));
    for (QToolButton* b :
         {pane.backButton, pane.forwardButton, pane.stopButton, pane.refreshButton}) {
        b->setEnabled(false);
    }
    pane.popupButton =
        addButton(toolbar, name(n.shortPrefix, "Popup"), QStyle::SP_FileDialogDetailedView,
                  QStringLiteral("Pane commands"));
    pane.zoomButton = addButton(toolbar, name(n.shortPrefix, "Zoom"), QStyle::SP_TitleBarMaxButton,
                                QStringLiteral("Show this pane alone, or all panes again"));

    pane.animatePanel = new QWidget(toolbar);
    auto* animateLayout = new QHBoxLayout(pane.animatePanel);
    animateLayout->setContentsMargins(2, 0, 2, 0);
    pane.animate = new TBusyIndicator(pane.animatePanel);
    pane.animate->setObjectName(name(n.shortPrefix, "Animate"));
    animateLayout->addWidget(pane.animate);
    toolbar->addWidget(pane.animatePanel);

    pane.url = new TUrlComboBox(toolbar);
    pane.url->setObjectName(name(n.prefix, "URL"));
    pane.url->setMinimumContentsLength(20);
    toolbar->addWidget(pane.url);

    pane.statusBar = new QStatusBar(pane.panel);
    pane.statusBar->setObjectName(QStringLiteral("StatusBar%1").arg(number));
    pane.statusBar->setSizeGripEnabled(false);
    pane.progressBar = new QProgressBar(pane.statusBar);
    pane.progressBar->setObjectName(QStringLiteral("ProgressBar%1").arg(number));
    pane.progressBar->setRange(0, 100);
    pane.progressBar->setValue(0);
    pane.progressBar->setTextVisible(false);
    pane.progressBar->setFixedWidth(70);
    pane.statusBar->addWidget(pane.progressBar);
    pane.statePanel = new QLabel(pane.statusBar);
    pane.statePanel->setObjectName(QStringLiteral("StatusBar%1Panel2").arg(number));
    pane.statePanel->setFixedWidth(100);
    pane.statusBar->addWidget(pane.statePanel);
    pane.statusPanel = new QLabel(pane.statusBar);
    pane.statusPanel->setObjectName(QStringLiteral("StatusBar%1Panel3").arg(number));
    pane.statusPanel->setMinimumWidth(100);
    pane.statusBar->addWidget(pane.statusPanel, 1);

    auto* layout = new QVBoxLayout(pane.panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pane.topDock);
    layout->addWidget(pane.browser, 1);
    layout->addWidget(pane.bottomDock);
    layout->addWidget(pane.statusBar);

    toolbar->setDefaultDock(pane.topDock);
    toolbar->setAllowedDocks({pane.topDock, pane.bottomDock});
    toolbar->dockTo(pane.topDock, 0, 0);
    return pane;
}

}  // namespace tarn
