#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include "settings/hive_file.h"
#include "temp_env.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"
#include "widgets/toolbar_state.h"

namespace tarn {
namespace {

constexpr char kUserKey[] = "Software\\Kestrow Software\\Tarnview\\Default Group\\Default User";

// Real hives in a temporary folder and a shown window with three named docks.
class ToolbarStateTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        window.setGeometry(100, 100, 600, 400);
        auto* column = new QVBoxLayout(&window);
        top = addDock(column, TDock::Edge::Top, "Dock971");
        column->addStretch(1);
        bottom = addDock(column, TDock::Edge::Bottom, "Dock973");
        foreign = addDock(column, TDock::Edge::Bottom, "Dock977");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    TDock* addDock(QVBoxLayout* column, TDock::Edge edge, const char* name) {
        auto* dock = new TDock(edge, &window);
        dock->setObjectName(QString::fromLatin1(name));
        column->addWidget(dock);
        return dock;
    }

    TDockToolbar* toolbar() {
        auto* bar = new TDockToolbar(QStringLiteral("Tarnview Main Toolbar"), &window);
        bar->addAction(QStringLiteral("Exit"));
        bar->setDefaultDock(top);
        bar->setAllowedDocks({top, bottom});
        bar->dockTo(top, 0, 0);
        return bar;
    }

    std::vector<TDock*> docks() const { return {top, bottom, foreign}; }

    QWidget window;
    TDock* top{};
    TDock* bottom{};
    TDock* foreign{};
};

TEST_F(ToolbarStateTest, DockedStateSurvivesSaveAndLoad) {
    TDockToolbar* first = toolbar();
    first->dockTo(bottom, 0, 0);
    TDockToolbar* saved = toolbar();
    saved->setFloatPosition(QPoint(210, 220));
    saved->dockTo(bottom, 1, 30);
    saved->hide();
    const ToolbarState state = captureToolbarState(*saved);
    EXPECT_EQ(state, (ToolbarState{false, "Dock973", 1, 30, 210, 220}));

    saveToolbarState(kUserKey, "MainToolBar", state);
    const std::optional<ToolbarState> loaded = loadToolbarState(kUserKey, "MainToolBar");
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, state);

    TDockToolbar* restored = toolbar();
    applyToolbarState(*restored, *loaded, docks());
    EXPECT_EQ(restored->DockedTo(), bottom);
    EXPECT_TRUE(restored->isHidden());
    EXPECT_EQ(captureToolbarState(*restored), state);
}

TEST_F(ToolbarStateTest, FloatingStateSurvivesSaveAndLoad) {
    TDockToolbar* saved = toolbar();
    saved->floatAt(QPoint(150, 160));
    const ToolbarState state = captureToolbarState(*saved);
    EXPECT_EQ(state, (ToolbarState{true, "", 0, 0, 150, 160}));
    saveToolbarState(kUserKey, "LTToolbar", state);

    TDockToolbar* restored = toolbar();
    applyToolbarState(*restored, *loadToolbarState(kUserKey, "LTToolbar"), docks());
    EXPECT_TRUE(restored->isFloating());
    EXPECT_TRUE(restored->floatingWindow()->isVisible());
    EXPECT_EQ(restored->floatingWindow()->pos(), QPoint(150, 160));
}

TEST_F(ToolbarStateTest, ValuesAreStoredAsTextUnderTheToolbarsName) {
    saveToolbarState(kUserKey, "RBToolbar", ToolbarState{true, "Dock9717", 2, 14, -40, 75});
    saveToolbarState(kUserKey, "RBToolbar", ToolbarState{false, "Dock9719", 0, 3, -5, 75});

    auto hive = HiveFile::open(Hive::CurrentUser);
    const auto key = hive->findKey(kRootKey, std::string(kUserKey) + "\\RBToolbar");
    ASSERT_TRUE(key.has_value());
    const auto values = hive->values(*key);
    const std::pair<const char*, const char*> expected[] = {
        {"Visible", "0"}, {"DockedTo", "Dock9719"}, {"DockRow", "0"},
        {"DockPos", "3"}, {"FloatLeft", "-5"},      {"FloatTop", "75"}};
    ASSERT_EQ(values.size(), std::size(expected));
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, expected[i].first);
        EXPECT_EQ(values[i].type, kRegString);
        EXPECT_EQ(values[i].data, expected[i].second);
    }
}

TEST_F(ToolbarStateTest, NothingSavedLoadsNothing) {
    EXPECT_FALSE(loadToolbarState(kUserKey, "MainToolBar").has_value());
    saveToolbarState(kUserKey, "LTToolbar", ToolbarState{});
    EXPECT_FALSE(loadToolbarState(kUserKey, "MainToolBar").has_value());
}

TEST_F(ToolbarStateTest, DockTheToolbarMayNotUseSendsItToItsDefaultDock) {
    for (const char* name : {"NoSuchDock", "Dock977"}) {
        TDockToolbar* bar = toolbar();
        bar->dockTo(bottom, 0, 0);
        applyToolbarState(*bar, ToolbarState{true, name, 0, 12, 0, 0}, docks());
        EXPECT_EQ(bar->DockedTo(), top) << name;
        EXPECT_EQ(top->posOf(bar), 12) << name;
        EXPECT_TRUE(foreign->toolbars().empty()) << name;
    }
}

TEST_F(ToolbarStateTest, FloatingPositionOffEveryScreenComesBackOnThePrimaryScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    TDockToolbar* bar = toolbar();
    applyToolbarState(*bar, ToolbarState{true, "", 0, 0, -5000, screen.bottom() + 3000}, docks());
    const QRect placed(bar->floatingWindow()->pos(), bar->floatingWindow()->size());
    EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
    EXPECT_EQ(placed.left(), screen.left());
    EXPECT_EQ(placed.bottom(), screen.bottom());

    // A saved float position off screen is mended even while the toolbar stays docked.
    applyToolbarState(*bar, ToolbarState{true, "Dock971", 0, 0, 99999, 99999}, docks());
    EXPECT_TRUE(screen.contains(bar->floatPosition()));
}

TEST(BringOnScreen, KeepsHoldablePositionsAndMovesTheRestInside) {
    const QRect primary(0, 0, 1000, 800);
    const QRect second(1000, 0, 800, 600);
    const QSize size(200, 50);
    struct Case {
        QPoint from;
        QPoint to;
    } cases[] = {
        {{10, 20}, {10, 20}},        // on the primary screen
        {{1500, 100}, {1500, 100}},  // on the second screen
        {{900, 700}, {900, 700}},    // partly off, but its caption can be held
        {{-20, 100}, {0, 100}},      // caption start off the left edge
        {{500, -10}, {500, 0}},      // caption above the top
        {{3000, 3000}, {800, 750}},  // far away: wholly inside, nearest corner
        {{1500, 590}, {800, 590}},   // under the second screen: clamped into the primary
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bringOnScreen(c.from, size, {primary, second}, primary), c.to)
            << c.from.x() << "," << c.from.y();
    }
}

}  // namespace
}  // namespace tarn
