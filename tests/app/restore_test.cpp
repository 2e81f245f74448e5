// What a user leaves behind comes back at the next start.
#include <QAction>
#include <QComboBox>
#include <QStatusBar>

#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "main_form_fixture.h"
#include "qt_wait.h"
#include "settings/day_record.h"
#include "widgets/adv_splitter.h"
#include "widgets/dock.h"
#include "widgets/dock_toolbar.h"

namespace tarn::test {
namespace {

using RestoreTest = MainFormTest;

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

TEST_F(RestoreTest, CloseAndStartAgainRestoresTheWindowAsLeft) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    setValue(config, "iNumberOfPanes", "3");
    int usage = 0;
    {
        auto form = start();
        ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
        EXPECT_EQ(form->paneState().count(), 3);
        form->move(120, 90);
        form->resize(820, 610);
        form->Horizontaltileformat1->trigger();
        form->AppSplitter->setPosition(170);
        form->MainSplit->setPosition(151);
        form->LeftSplit->setPosition(111);
        form->RightSplit->setPosition(122);
        form->Panes[0].url->addItems(
            {QStringLiteral("http://a.test/"), QStringLiteral("http://b.test/")});
        form->Panes[2].url->addItem(QStringLiteral("http://c.test/"));
        form->ShowStatusbar1->trigger();
        form->MainToolBar->dockTo(form->Dock972, 0, 0);
        form->Panes[1].toolbar->dockTo(form->Panes[1].bottomDock, 0, 0);
        // Three minutes of use, counted by the tick.
        const int before = form->session().usageMinutesToday();
        for (int minute = 0; minute < 3; ++minute) {
            clock.advance(std::chrono::seconds(61));  // a new second as well as a new minute
            form->Timer1Timer();
        }
        usage = form->session().usageMinutesToday();
        EXPECT_EQ(usage, before + 3);
        ASSERT_TRUE(form->close());
    }
    auto form = start();
    EXPECT_EQ(form->pos(), QPoint(120, 90));
    EXPECT_EQ(form->size(), QSize(820, 610));
    EXPECT_EQ(form->paneState().count(), 3);
    EXPECT_TRUE(form->Horizontaltileformat1->isChecked());
    EXPECT_EQ(form->MainSplit->Orientation(), TSplitterOrientation::soHorizontal);
    EXPECT_EQ(form->AppSplitter->Position(), 170);
    EXPECT_EQ(form->MainSplit->Position(), 151);
    EXPECT_EQ(form->LeftSplit->Position(), 111);
    EXPECT_EQ(form->RightSplit->Position(), 122);
    EXPECT_EQ(items(form->Panes[0].url),
              (QStringList{QStringLiteral("http://a.test/"), QStringLiteral("http://b.test/")}));
    EXPECT_TRUE(items(form->Panes[1].url).isEmpty());
    EXPECT_EQ(items(form->Panes[2].url), QStringList{QStringLiteral("http://c.test/")});
    EXPECT_FALSE(form->ShowStatusbar1->isChecked());
    EXPECT_FALSE(form->statusBar()->isVisible());
    EXPECT_EQ(form->MainToolBar->DockedTo(), form->Dock972);
    EXPECT_EQ(form->Panes[1].toolbar->DockedTo(), form->Panes[1].bottomDock);
    EXPECT_EQ(form->session().usageMinutesToday(), usage);
    EXPECT_EQ(readValue(config, "sLastRunDate"), "2026-12-10");
}

TEST_F(RestoreTest, AGlobalHistoryIsPaneOnesListCopiedIntoEveryBox) {
    setValue(std::string(kDefaultConfigKey) + "\\Config", "iUrlHistory", "1");
    {
        auto form = start();
        ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
        form->Panes[0].url->addItem(QStringLiteral("http://one.test/"));
        form->Panes[3].url->addItem(QStringLiteral("http://not-saved.test/"));
        ASSERT_TRUE(form->close());
    }
    auto form = start();
    for (const BrowserPane& pane : form->Panes) {
        EXPECT_EQ(items(pane.url), QStringList{QStringLiteral("http://one.test/")});
    }
}

TEST_F(RestoreTest, AFloatingToolbarComesBackWhereItFloated) {
    {
        auto form = start();
        ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
        form->Panes[0].toolbar->floatAt(QPoint(200, 220));
        ASSERT_TRUE(form->close());
    }
    auto form = start();
    EXPECT_TRUE(form->Panes[0].toolbar->isFloating());
    EXPECT_EQ(form->Panes[0].toolbar->window()->pos(), QPoint(200, 220));
}

}  // namespace
}  // namespace tarn::test
