// Pane count, zoom, tile formats and the bars of the main window.
#include <QAction>
#include <QComboBox>
#include <QStatusBar>
#include <QToolButton>

#include "app/pane_layout.h"
#include "app/pane_state.h"
#include "engine/web_browser.h"
#include "main_form_fixture.h"
#include "qt_wait.h"
#include "widgets/adv_splitter.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn::test {
namespace {

using LayoutTest = MainFormTest;

std::vector<bool> shownPanes(const TMainForm& form) {
    std::vector<bool> shown;
    for (const BrowserPane& pane : form.Panes)
        shown.push_back(pane.panel->isVisibleTo(&form));
    return shown;
}

std::vector<bool> acceptingDocks(const TMainForm& form) {
    std::vector<bool> docks;
    for (const BrowserPane& pane : form.Panes) {
        docks.push_back(pane.topDock->AllowDrag());
        docks.push_back(pane.bottomDock->AllowDrag());
    }
    return docks;
}

TEST_F(LayoutTest, ArrangePanesShowsPanesInOrderAndGuardsTheirDocks) {
    auto form = start();
    struct Case {
        int count;
        std::vector<bool> panes;
        bool zoom;
        std::vector<bool> docks;
    };
    const Case cases[] = {
        {1,
         {true, false, false, false},
         false,
         {true, true, false, false, false, false, false, false}},
        {2, {true, true, false, false}, true, {true, true, true, true, false, false, false, false}},
        {3, {true, true, true, false}, true, {true, true, true, true, true, true, false, false}},
        {4, {true, true, true, true}, true, {true, true, true, true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        while (form->paneState().count() < c.count)
            form->NewSplitButtonClick();
        form->ArrangePanes();
        EXPECT_EQ(shownPanes(*form), c.panes) << c.count << " panes";
        EXPECT_EQ(form->Panes[0].zoomButton->isEnabled(), c.zoom) << c.count << " panes";
        EXPECT_EQ(acceptingDocks(*form), c.docks) << c.count << " panes";
    }
}

TEST(PaneStateTest, CountsStayWithinOneToFourAndOnlyPanesBecomeCurrent) {
    PaneState panes;
    EXPECT_FALSE(panes.remove());
    EXPECT_FALSE(panes.setCount(0));
    EXPECT_FALSE(panes.setCount(7));
    EXPECT_EQ(panes.count(), 1);
    EXPECT_TRUE(panes.setCount(4));
    EXPECT_FALSE(panes.add());
    EXPECT_EQ(panes.count(), 4);
    panes.setCurrent(3);
    panes.setCurrent(0);
    panes.setCurrent(5);
    EXPECT_EQ(panes.current(), 3);
    panes.setPendingDrop("http://a.test/");
    EXPECT_EQ(panes.takeDrop(), std::optional<std::string>("http://a.test/"));
    EXPECT_EQ(panes.takeDrop(), std::nullopt);
}

TEST_F(LayoutTest, AddingAndRemovingPanesStopsAtTheEndsAndKeepsPages) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    setValue(config, "sPane2Url", server.url(QStringLiteral("/two")).toString().toStdString());
    auto form = start();

    form->DelSplitButtonClick();
    EXPECT_EQ(form->paneState().count(), 1);
    form->NewSplitButtonClick();
    EXPECT_EQ(form->paneState().count(), 2);
    ASSERT_TRUE(waitForPage(*form, 2, server.url(QStringLiteral("/two"))));
    const auto requestsForTwo = [&] {
        int n = 0;
        for (const auto& request : server.requests())
            n += request.path == QStringLiteral("/two");
        return n;
    };
    EXPECT_EQ(requestsForTwo(), 1);

    // Hidden and shown again, the pane keeps its page without loading it again.
    form->DelSplitButtonClick();
    EXPECT_FALSE(form->Panes[1].panel->isVisibleTo(form.get()));
    form->NewSplitButtonClick();
    EXPECT_TRUE(form->Panes[1].panel->isVisibleTo(form.get()));
    QTest::qWait(300);
    EXPECT_EQ(requestsForTwo(), 1);

    form->NewSplitButtonClick();
    form->NewSplitButtonClick();
    form->NewSplitButtonClick();
    EXPECT_EQ(form->paneState().count(), 4);
}

TEST_F(LayoutTest, ZoomShowsOnePaneAndAnyZoomButtonRestores) {
    auto form = start();
    for (int more = 0; more < 3; ++more)
        form->NewSplitButtonClick();
    const int splitBefore = form->MainSplit->Position();

    form->Panes[2].zoomButton->click();
    EXPECT_EQ(form->paneState().zoomed(), 3);
    EXPECT_EQ(shownPanes(*form), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(acceptingDocks(*form),
              (std::vector<bool>{false, false, false, false, true, true, false, false}));
    EXPECT_EQ(form->MainSplit->Position(), splitBefore);

    form->Panes[0].zoomButton->click();  // another pane's button only restores
    EXPECT_EQ(form->paneState().zoomed(), 0);
    EXPECT_EQ(shownPanes(*form), std::vector<bool>(4, true));

    form->Panes[1].zoomButton->click();
    EXPECT_EQ(shownPanes(*form), (std::vector<bool>{false, true, false, false}));
    // A pane count change while zoomed shows the panes of the count; the next click restores.
    form->DelSplitButtonClick();
    EXPECT_EQ(shownPanes(*form), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(form->paneState().zoomed(), 2);
    form->Panes[3].zoomButton->click();
    EXPECT_EQ(form->paneState().zoomed(), 0);
    EXPECT_EQ(shownPanes(*form), (std::vector<bool>{true, true, true, false}));
}

TEST_F(LayoutTest, TileFormatsTurnTheInnerSplittersAndARepeatChangesNothing) {
    auto form = start();
    using enum TSplitterOrientation;
    struct Case {
        QAction* item;
        TSplitterOrientation main, left, right;
    };
    const Case cases[] = {
        {form->Verticaltileformat1, soVertical, soVertical, soVertical},
        {form->Horizontaltileformat1, soHorizontal, soHorizontal, soHorizontal},
        {form->Gridformat1, soVertical, soHorizontal, soHorizontal},
    };
    for (const Case& c : cases) {
        c.item->trigger();
        EXPECT_TRUE(c.item->isChecked()) << c.item->text().toStdString();
        EXPECT_EQ(form->MainSplit->Orientation(), c.main) << c.item->text().toStdString();
        EXPECT_EQ(form->LeftSplit->Orientation(), c.left) << c.item->text().toStdString();
        EXPECT_EQ(form->RightSplit->Orientation(), c.right) << c.item->text().toStdString();
    }
    // Choosing the checked format again keeps it checked, alone.
    form->Gridformat1->trigger();
    EXPECT_TRUE(form->Gridformat1->isChecked());
    EXPECT_FALSE(form->Verticaltileformat1->isChecked());
    EXPECT_FALSE(form->Horizontaltileformat1->isChecked());
    EXPECT_EQ(form->LeftSplit->Orientation(), soHorizontal);
}

TEST_F(LayoutTest, CenterPanelsHalvesEachInnerSplitter) {
    auto form = start();
    for (int more = 0; more < 3; ++more)
        form->NewSplitButtonClick();
    form->CenterPanels1->trigger();
    EXPECT_EQ(form->LeftSplit->Position(), (form->LeftSplit->height() - 2) / 2);
    EXPECT_EQ(form->RightSplit->Position(), (form->RightSplit->height() - 2) / 2);
    EXPECT_EQ(form->MainSplit->Position(), (form->MainSplit->width() - 2) / 2);
}

TEST_F(LayoutTest, ViewItemsShowAndHideTheBars) {
    auto form = start();
    form->ShowButtonbar1->trigger();
    EXPECT_FALSE(form->ShowButtonbar1->isChecked());
    EXPECT_FALSE(form->MainToolBar->isVisible());
    form->ShowButtonbar1->trigger();
    EXPECT_TRUE(form->MainToolBar->isVisible());
    form->ShowStatusbar1->trigger();
    EXPECT_FALSE(form->statusBar()->isVisible());
    form->ShowStatusbar1->trigger();
    EXPECT_TRUE(form->statusBar()->isVisible());
}

TEST_F(LayoutTest, AClosedToolbarDocksBackIntoItsDefaultDock) {
    auto form = start();
    form->MainToolBar->floatAt(QPoint(300, 300));
    EXPECT_TRUE(form->MainToolBar->isFloating());
    emit form->MainToolBar->CloseRequested();
    EXPECT_EQ(form->MainToolBar->DockedTo(), form->Dock971);
    EXPECT_TRUE(form->MainToolBar->isVisible());
}

TEST(PaneArrangementTable, ZoomOnlyTouchesThePanesItNames) {
    const PaneArrangement four = *arrangementForCount(4);
    const PaneArrangement zoom4 = arrangementForZoom(4, four);
    EXPECT_FALSE(zoom4.mainPane1);
    EXPECT_TRUE(zoom4.mainPane2);
    EXPECT_FALSE(zoom4.rightPane1);
    EXPECT_TRUE(zoom4.rightPane2);
    EXPECT_TRUE(zoom4.leftPane1);  // left column is hidden by MainSplit, its panes untouched
    EXPECT_FALSE(arrangementForCount(0));
    EXPECT_FALSE(arrangementForCount(5));
}

}  // namespace
}  // namespace tarn::test
