// Pane layout: how many panes show, tiling, zoom, centring and the bars.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

#include "app/main_form.h"
#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "session/user_config.h"
#include "widgets/adv_splitter.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn {

void TMainForm::applyArrangement(const PaneArrangement& a) {
    panes_->setArrangement(a);
    MainSplit->Pane1Setting()->setVisible(a.mainPane1);
    MainSplit->Pane2Setting()->setVisible(a.mainPane2);
    LeftSplit->Pane1Setting()->setVisible(a.leftPane1);
    LeftSplit->Pane2Setting()->setVisible(a.leftPane2);
    RightSplit->Pane1Setting()->setVisible(a.rightPane1);
    RightSplit->Pane2Setting()->setVisible(a.rightPane2);
    Panes[0].zoomButton->setEnabled(a.zoomEnabled);
    for (int i = 0; i < 4; ++i) {
        Panes[i].topDock->setAllowDrag(a.dockAccepts[i * 2]);
        Panes[i].bottomDock->setAllowDrag(a.dockAccepts[i * 2 + 1]);
    }
}

void TMainForm::ArrangePanes() {
    // Step 1 lets toolbars into the docks of panes 2 to 4; the table then refuses some again.
    for (int i = 1; i < 4; ++i) {
        Panes[i].topDock->setAllowDrag(true);
        Panes[i].bottomDock->setAllowDrag(true);
    }
    if (const auto a = arrangementForCount(panes_->count()))
        applyArrangement(*a);
}

void TMainForm::NewSplitButtonClick() {
    if (!panes_->add())
        return;
    ArrangePanes();
    BrowserPane& pane = Panes[panes_->count() - 1];
    if (!pane.url->currentText().isEmpty())
        return;
    const WindowConfig config = readWindowConfig(session_->configKey());
    const std::string& start = config.sPaneUrl[panes_->count() - 1];
    if (!start.empty())
        pane.browser->Navigate(QString::fromStdString(start), TWebBrowser::NavAdmitted);
}

void TMainForm::DelSplitButtonClick() {
    if (panes_->remove())
        ArrangePanes();
}

void TMainForm::applyTileFormat(TileFormat format) {
    const bool unchanged = panes_->tileFormat() == format;
    panes_->setTileFormat(format);
    // A click on a radio item toggles its mark before this runs; the marks follow the format.
    Gridformat1->setChecked(format == TileFormat::Grid);
    Verticaltileformat1->setChecked(format == TileFormat::Vertical);
    Horizontaltileformat1->setChecked(format == TileFormat::Horizontal);
    if (unchanged)
        return;
    const TileOrientation o = orientationFor(format);
    auto orient = [](bool stacked) {
        return stacked ? TSplitterOrientation::soHorizontal : TSplitterOrientation::soVertical;
    };
    MainSplit->setOrientation(orient(o.mainStacked));
    LeftSplit->setOrientation(orient(o.leftStacked));
    RightSplit->setOrientation(orient(o.rightStacked));
}

void TMainForm::Gridformat1Click() {
    applyTileFormat(TileFormat::Grid);
}

void TMainForm::Verticaltileformat1Click() {
    applyTileFormat(TileFormat::Vertical);
}

void TMainForm::Horizontaltileformat1Click() {
    applyTileFormat(TileFormat::Horizontal);
}

void TMainForm::CenterPanels1Click() {
    LeftSplit->CenterPosition();
    RightSplit->CenterPosition();
    MainSplit->CenterPosition();
}

void TMainForm::ShowButtonbar1Click() {
    // The action toggles its own check mark before this runs.
    MainToolBar->setVisible(ShowButtonbar1->isChecked());
}

void TMainForm::ShowStatusbar1Click() {
    statusBar()->setVisible(ShowStatusbar1->isChecked());
}

void TMainForm::LTZoomClick(int pane) {
    for (BrowserPane& p : Panes) {
        p.topDock->setAllowDrag(true);
        p.bottomDock->setAllowDrag(true);
    }
    if (panes_->zoomed() != 0) {
        ArrangePanes();
        panes_->setZoomed(0);
        return;
    }
    applyArrangement(arrangementForZoom(pane, panes_->arrangement()));
    panes_->setZoomed(pane);
}

void TMainForm::PaneResize(int paneNumber) {
    BrowserPane& pane = Panes[paneNumber - 1];
    const int boxLeft = pane.animatePanel->geometry().right() + 1;
    int width = 300;
    if (TDock* dock = pane.toolbar->DockedTo()) {
        width = dock->width() - pane.toolbar->x() - boxLeft - 10;
    }
    pane.url->setFixedWidth(std::max(width, pane.url->minimumSizeHint().width()));
    const int barWidth = pane.statusBar->width();
    pane.progressBar->setFixedWidth(barWidth / 6);
    pane.statePanel->setFixedWidth(barWidth / 4);
}

void TMainForm::MainToolBarClose(TDockToolbar* toolbar) {
    toolbar->dockTo(toolbar->defaultDock(), 0, 0);
    toolbar->setVisible(true);
}

}  // namespace tarn
