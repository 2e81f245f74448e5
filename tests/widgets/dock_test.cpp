#include <gtest/gtest.h>

#include <QAction>
#include <QHBoxLayout>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "qt_wait.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn {
namespace {

// A shown 600 by 400 window with a dock on each edge around a filler.
class DockLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        window.setGeometry(100, 100, 600, 400);
        auto* column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        auto* middle = new QHBoxLayout;
        middle->setSpacing(0);
        top = new TDock(TDock::Edge::Top, &window);
        bottom = new TDock(TDock::Edge::Bottom, &window);
        left = new TDock(TDock::Edge::Left, &window);
        right = new TDock(TDock::Edge::Right, &window);
        column->addWidget(top);
        column->addLayout(middle, 1);
        column->addWidget(bottom);
        middle->addWidget(left);
        middle->addStretch(1);
        middle->addWidget(right);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    TDockToolbar* toolbar(const char* caption) {
        auto* bar = new TDockToolbar(QString::fromLatin1(caption), &window);
        bar->addAction(QStringLiteral("Back"));
        bar->addAction(QStringLiteral("Forward"));
        return bar;
    }

    // Lets the window's layout follow the docks' new sizes.
    static void settle() { QCoreApplication::processEvents(); }

    QPoint globalAt(QWidget* widget, int x, int y) { return widget->mapToGlobal(QPoint(x, y)); }

    QWidget window;
    TDock* top{};
    TDock* bottom{};
    TDock* left{};
    TDock* right{};
};

TEST_F(DockLayout, EmptyDocksTakeNoRoomAndUprightDocksTurnTheirToolbars) {
    for (TDock* dock : {top, bottom}) {
        EXPECT_EQ(dock->height(), 0);
    }
    for (TDock* dock : {left, right}) {
        EXPECT_EQ(dock->width(), 0);
    }

    TDockToolbar* bar = toolbar("Bar");
    bar->dockTo(top, 0, 0);
    settle();
    EXPECT_EQ(top->height(), bar->height());
    EXPECT_GT(top->height(), 0);
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, 0));

    bar->dockTo(left, 0, 0);
    settle();
    EXPECT_EQ(top->height(), 0);
    EXPECT_EQ(bar->orientation(), Qt::Vertical);
    EXPECT_GT(left->width(), 0);
    const QWidget* back = bar->widgetForAction(bar->actions().at(1));
    const QWidget* forward = bar->widgetForAction(bar->actions().at(2));
    EXPECT_GT(forward->y(), back->geometry().bottom());  // stacked, not side by side
    EXPECT_EQ(bar->parentWidget(), left);

    bar->floatAt(QPoint(300, 300));
    settle();
    EXPECT_EQ(left->width(), 0);
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
}

TEST_F(DockLayout, RowsStackAndPositionsOrderToolbarsWithoutOverlap) {
    TDockToolbar* a = toolbar("A");
    TDockToolbar* b = toolbar("B");
    TDockToolbar* c = toolbar("C");
    TDockToolbar* d = toolbar("D");
    a->dockTo(top, 0, 200);
    b->dockTo(top, 0, 0);
    c->dockTo(top, 1, 50);
    d->dockTo(top, 0, 10);  // asks for a place B already covers
    settle();

    EXPECT_EQ(top->toolbars(), (std::vector<TDockToolbar*>{b, d, a, c}));
    EXPECT_EQ(top->rowCount(), 2);
    EXPECT_EQ(b->x(), 0);
    EXPECT_EQ(d->x(), b->geometry().right() + 1);
    EXPECT_EQ(d->y(), 0);
    EXPECT_EQ(a->x(), std::max(200, d->geometry().right() + 1));
    EXPECT_EQ(c->geometry().topLeft(), QPoint(50, b->height()));
    EXPECT_EQ(top->height(), b->height() + c->height());
    EXPECT_EQ(top->posOf(d), 10);  // the wish is kept for when room frees up

    // A row far past the end becomes the next row; emptied rows close up.
    a->dockTo(top, 7, 0);
    EXPECT_EQ(top->rowOf(a), 2);
    b->dockTo(bottom, 0, 0);
    d->dockTo(bottom, 0, 0);
    EXPECT_EQ(top->rowOf(c), 0);
    EXPECT_EQ(top->rowOf(a), 1);

    delete c;
    EXPECT_EQ(top->toolbars(), (std::vector<TDockToolbar*>{a}));
    EXPECT_EQ(top->rowOf(a), 0);
}

TEST_F(DockLayout, DockedToolbarGrowsWhenItsContentsGrow) {
    TDockToolbar* bar = toolbar("Bar");
    bar->dockTo(top, 0, 0);
    settle();
    const int before = bar->width();
    bar->addAction(QStringLiteral("Refresh"));
    EXPECT_TRUE(test::waitUntil([&] { return bar->width() == bar->sizeHint().width(); }, 2000));
    EXPECT_GT(bar->width(), before);
}

TEST_F(DockLayout, ToolbarPastTheDocksEndSlidesBackInside) {
    TDockToolbar* bar = toolbar("Bar");
    bar->dockTo(top, 0, 10000);
    settle();
    EXPECT_EQ(bar->geometry().right(), top->width() - 1);
    EXPECT_EQ(top->posOf(bar), 10000);
}

TEST_F(DockLayout, DropGoesToTheVisibleAllowingCandidateUnderThePointer) {
    const std::vector<TDock*> all{top, bottom, left, right};
    const QPoint centre = globalAt(&window, 300, 200);
    // Empty docks are caught by the strip inside their edge.
    EXPECT_EQ(findDropDock(globalAt(&window, 300, 5), all), top);
    EXPECT_EQ(findDropDock(globalAt(&window, 300, 395), all), bottom);
    EXPECT_EQ(findDropDock(globalAt(&window, 5, 200), all), left);
    EXPECT_EQ(findDropDock(globalAt(&window, 595, 200), all), right);
    EXPECT_EQ(findDropDock(centre, all), nullptr);
    EXPECT_EQ(findDropDock(globalAt(&window, 300, TDock::kCatchDepth + 1), all), nullptr);

    // Outside the candidates, refusing drags or hidden: no drop.
    EXPECT_EQ(findDropDock(globalAt(&window, 300, 5), {bottom, left}), nullptr);
    top->setAllowDrag(false);
    EXPECT_EQ(findDropDock(globalAt(&window, 300, 5), all), nullptr);
    top->setAllowDrag(true);
    top->hide();
    EXPECT_EQ(findDropDock(globalAt(&window, 300, 5), all), nullptr);
}

TEST_F(DockLayout, DropSpotPicksTheRowUnderThePointerOrOpensOne) {
    TDockToolbar* a = toolbar("A");
    TDockToolbar* b = toolbar("B");
    a->dockTo(top, 0, 0);
    b->dockTo(top, 1, 0);
    settle();
    const int rowDepth = a->height();
    const QPoint corner = globalAt(top, 40, 0);

    struct Case {
        int y;
        DockSpot expected;
    } cases[] = {
        {1, {0, 40, false}},
        {rowDepth + 1, {1, 40, false}},
        {2 * rowDepth + 3, {2, 40, true}},  // in the catch strip below the last row
        {-1, {0, 40, true}},
    };
    for (const Case& c : cases) {
        const DockSpot spot = top->spotAt(globalAt(top, 60, c.y), corner);
        EXPECT_EQ(spot.row, c.expected.row) << c.y;
        EXPECT_EQ(spot.pos, c.expected.pos) << c.y;
        EXPECT_EQ(spot.newRow, c.expected.newRow) << c.y;
    }
    EXPECT_EQ(top->spotAt(globalAt(top, 60, 1), globalAt(top, -30, 0)).pos, 0);

    // Upright docks measure rows across and positions downwards.
    const DockSpot upright = left->spotAt(globalAt(left, 3, 90), globalAt(left, 0, 70));
    EXPECT_EQ(upright.row, 0);
    EXPECT_EQ(upright.pos, 70);
    EXPECT_TRUE(upright.newRow);
}

}  // namespace
}  // namespace tarn
