#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt_wait.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn {
namespace {

// A shown 600 by 400 window with a top and a bottom dock and a toolbar docked at the top.
class DockToolbarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.setGeometry(100, 100, 600, 400);
        auto* column = new QVBoxLayout(&window);
        column->setContentsMargins(0, 0, 0, 0);
        top = new TDock(TDock::Edge::Top, &window);
        top->setObjectName(QStringLiteral("TopDock"));
        bottom = new TDock(TDock::Edge::Bottom, &window);
        column->addWidget(top);
        column->addStretch(1);
        column->addWidget(bottom);
        bar = new TDockToolbar(QStringLiteral("Web1 Toolbar"), &window);
        bar->addAction(QStringLiteral("Back"));
        bar->setDefaultDock(top);
        bar->setAllowedDocks({top, bottom});
        bar->dockTo(top, 0, 0);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget* grip() const { return bar->findChild<QWidget*>(QStringLiteral("DockGrip")); }

    // Drags the grip by its middle so that the pointer ends at `globalTarget`.
    void dragGripTo(const QPoint& globalTarget) {
        QWidget* handle = grip();
        const QPoint start = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + QPoint(20, 20));
        QTest::mouseMove(handle, handle->mapFromGlobal(globalTarget));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(globalTarget));
    }

    QWidget window;
    TDock* top{};
    TDock* bottom{};
    TDockToolbar* bar{};
};

TEST_F(DockToolbarTest, FloatingAndDockingBackAreReported) {
    QSignalSpy changed(bar, &TDockToolbar::DockChanged);
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_FALSE(bar->isFloating());

    bar->floatAt(QPoint(250, 260));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->DockedTo(), nullptr);
    QPointer<QWidget> floating = bar->floatingWindow();
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(floating->isWindow());
    EXPECT_TRUE(floating->isVisible());
    EXPECT_EQ(floating->pos(), QPoint(250, 260));
    EXPECT_EQ(floating->windowTitle(), QStringLiteral("Web1 Toolbar"));
    EXPECT_EQ(floating->findChild<QWidget*>(QStringLiteral("Caption"))->property("text"),
              QStringLiteral("Web1 Toolbar"));

    bar->floatAt(QPoint(270, 280));  // only moves
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(bar->floatPosition(), QPoint(270, 280));

    bar->dockTo(bottom, 0, 0);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(bar->DockedTo(), bottom);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->floatPosition(), QPoint(270, 280));  // remembered for the next float
    EXPECT_TRUE(test::waitUntil([&] { return floating.isNull(); }, 2000));

    bar->dockTo(bottom, 0, 0);  // already there
    EXPECT_EQ(changed.count(), 2);
    bar->dockTo(bottom, 0, 30);
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(DockToolbarTest, CloseButtonOnlyWhenAskedAndItRequestsClosing) {
    QSignalSpy closing(bar, &TDockToolbar::CloseRequested);
    bar->floatAt(QPoint(250, 260));
    auto* close = bar->floatingWindow()->findChild<QToolButton*>(QStringLiteral("CloseButton"));
    ASSERT_NE(close, nullptr);
    EXPECT_FALSE(close->isVisible());
    // Without a close button the window system cannot close it either.
    bar->floatingWindow()->close();
    EXPECT_TRUE(bar->floatingWindow()->isVisible());
    EXPECT_EQ(closing.count(), 0);

    bar->setCloseButton(true);
    EXPECT_TRUE(close->isVisible());
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(closing.count(), 1);
    bar->floatingWindow()->close();
    EXPECT_EQ(closing.count(), 2);
    EXPECT_TRUE(bar->floatingWindow()->isVisible());
}

TEST_F(DockToolbarTest, FloatingWindowFollowsTheToolbarsVisibility) {
    bar->floatAt(QPoint(250, 260));
    bar->hide();
    EXPECT_FALSE(bar->floatingWindow()->isVisible());
    EXPECT_FALSE(bar->isShownByChoice());
    bar->show();
    EXPECT_TRUE(bar->floatingWindow()->isVisible());

    // A hidden toolbar stays hidden wherever it goes.
    bar->hide();
    bar->dockTo(top, 0, 0);
    EXPECT_TRUE(bar->isHidden());
    bar->floatAt(QPoint(250, 260));
    EXPECT_FALSE(bar->floatingWindow()->isVisible());
}

TEST_F(DockToolbarTest, DraggingTheGripOntoAnotherDockDocksItThere) {
    QSignalSpy changed(bar, &TDockToolbar::DockChanged);
    dragGripTo(bottom->mapToGlobal(QPoint(200, -4)));
    EXPECT_EQ(bar->DockedTo(), bottom);
    EXPECT_EQ(changed.count(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(top->height(), 0);
    EXPECT_GT(bottom->posOf(bar), 150);  // lands where it was dropped, not at the start
}

TEST_F(DockToolbarTest, AnImageOfADockedToolbarFollowsThePointerUntilTheDrop) {
    const auto ghosts = [] {
        std::vector<QLabel*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* label = qobject_cast<QLabel*>(widget);
            if (label && label->isVisible() && !label->pixmap().isNull()) {
                found.push_back(label);
            }
        }
        return found;
    };
    QWidget* handle = grip();
    const QPoint start = handle->rect().center();
    const QPoint grabbed = handle->mapTo(bar, start);
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    for (const QPoint step : {QPoint(30, 60), QPoint(90, 150)}) {
        QTest::mouseMove(handle, start + step);
        const std::vector<QLabel*> shown = ghosts();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown.front()->pos(), handle->mapToGlobal(start + step) - grabbed);
        EXPECT_EQ(shown.front()->size(), bar->size());
    }
    EXPECT_EQ(bar->DockedTo(), top);  // the toolbar itself waits for the drop
    QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(90, 150));
    EXPECT_TRUE(ghosts().empty());
    EXPECT_TRUE(bar->isFloating());
}

TEST_F(DockToolbarTest, DraggingBelowItsRowOpensANewRow) {
    auto* other = new TDockToolbar(QStringLiteral("Other"), &window);
    other->addAction(QStringLiteral("Home"));
    other->dockTo(top, 0, 300);
    dragGripTo(top->mapToGlobal(QPoint(100, top->height() + 4)));
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(top->rowOf(other), 0);
    EXPECT_EQ(top->rowOf(bar), 1);
}

TEST_F(DockToolbarTest, DropOnARefusedOrForeignDockFloatsAtTheDropPoint) {
    struct Case {
        const char* what;
        bool bottomAllowsDrag;
        bool bottomIsAllowed;
    } cases[] = {{"refusing dock", false, true}, {"dock not allowed", true, false}};
    for (const Case& c : cases) {
        bar->dockTo(top, 0, 0);
        bottom->setAllowDrag(c.bottomAllowsDrag);
        bar->setAllowedDocks(c.bottomIsAllowed ? std::vector<TDock*>{top, bottom}
                                               : std::vector<TDock*>{top});
        const QPoint grabbed =
            grip()->mapToGlobal(grip()->rect().center()) - bar->mapToGlobal(QPoint(0, 0));
        const QPoint target = bottom->mapToGlobal(QPoint(200, -4));
        dragGripTo(target);
        EXPECT_TRUE(bar->isFloating()) << c.what;
        EXPECT_EQ(bottom->toolbars().size(), 0u) << c.what;
        EXPECT_EQ(bar->floatPosition(), target - grabbed) << c.what;
    }
}

TEST_F(DockToolbarTest, FloatingToolbarDraggedOntoItsDockDocksAgain) {
    bar->floatAt(QPoint(300, 300));
    QPointer<QWidget> floating = bar->floatingWindow();
    dragGripTo(top->mapToGlobal(QPoint(50, 2)));
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_FALSE(bar->isFloating());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(test::waitUntil([&] { return floating.isNull(); }, 2000));
}

TEST_F(DockToolbarTest, FloatingToolbarFollowsThePointerWhileDragged) {
    bar->floatAt(QPoint(300, 300));
    QWidget* handle = grip();
    const QPoint start = handle->rect().center();
    const QPoint target = handle->mapToGlobal(start) + QPoint(40, 25);
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    QTest::mouseMove(handle, handle->mapFromGlobal(target));
    EXPECT_EQ(bar->floatingWindow()->pos(), QPoint(340, 325));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(target));
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->floatPosition(), QPoint(340, 325));
}

TEST_F(DockToolbarTest, ClickOnTheGripWithoutMovingChangesNothing) {
    QSignalSpy changed(bar, &TDockToolbar::DockChanged);
    QTest::mouseClick(grip(), Qt::LeftButton);
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(changed.count(), 0);
}

}  // namespace
}  // namespace tarn
