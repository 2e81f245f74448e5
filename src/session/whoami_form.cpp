#include "session/whoami_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarn {
namespace {

QLabel* addLabel(QWidget* parent, QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    layout->addWidget(label);
    return label;
}

QString minutesText(int minutes) {
    return QString::number(minutes) + QStringLiteral(" min.");
}

}  // namespace

TWhoAmIForm::TWhoAmIForm(const QString& userName, const QString& groupName, int usageMinutes,
                         int connectMinutes, std::optional<int> minutesLeft, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("User Data "));
    auto* layout = new QVBoxLayout(this);
    Label1 = addLabel(this, layout, "Label1", QStringLiteral("Active user: ") + userName);
    Label2 = addLabel(this, layout, "Label2", QStringLiteral("Belongs to group: ") + groupName);
    Label3 = addLabel(this, layout, "Label3",
                      QStringLiteral("Usage Time Today: ") + minutesText(usageMinutes));
    Label4 = addLabel(this, layout, "Label4",
                      QStringLiteral("Connect Time Today: ") + minutesText(connectMinutes));
    if (minutesLeft) {
        MinutesLeftLabel =
            addLabel(this, layout, "MinutesLeftLabel",
                     QStringLiteral("Web Time Left Today: ") + minutesText(*minutesLeft));
    }
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    layout->addWidget(CloseButton, 0, Qt::AlignHCenter);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tarn
