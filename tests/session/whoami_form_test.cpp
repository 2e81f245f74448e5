#include "session/whoami_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace tarn {
namespace {

TEST(WhoAmIFormTest, ShowsTheSessionAndCloses) {
    TWhoAmIForm form(QStringLiteral("ann"), QStringLiteral("Pupils"), 42, 7);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("User Data "));
    const std::pair<const char*, const char*> labels[] = {
        {"Label1", "Active user: ann"},
        {"Label2", "Belongs to group: Pupils"},
        {"Label3", "Usage Time Today: 42 min."},
        {"Label4", "Connect Time Today: 7 min."},
    };
    for (auto [name, text] : labels) {
        auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromLatin1(text));
    }

    form.show();
    QTest::mouseClick(form.CloseButton, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.CloseButton->text(), QStringLiteral("Close"));
}

}  // namespace
}  // namespace tarn
