#include "app/about_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace tarn {
namespace {

TEST(AboutFormTest, ShowsProductAndVersionAndClosesWithOk) {
    TAboutForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("TAboutForm"));
    const std::pair<const char*, const char*> labels[] = {
        {"ProductName", "Tarnview"},
        {"Version", "1.10 05/04/98"},
    };
    for (auto [name, text] : labels) {
        auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromLatin1(text));
    }
    EXPECT_FALSE(form.Comments->text().isEmpty());

    form.show();
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarn
