#include "app/about_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarn {
namespace {

QLabel* addLabel(QDialog* dialog, QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text, dialog);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("About Tarnview"));
    auto* layout = new QVBoxLayout(this);

    ProductName = addLabel(this, layout, "ProductName", QStringLiteral("Tarnview"));
    QFont large = ProductName->font();
    if (large.pointSizeF() > 0) {
        large.setPointSizeF(large.pointSizeF() * 1.6);
    }
    large.setBold(true);
    ProductName->setFont(large);
    Version = addLabel(this, layout, "Version", QStringLiteral("1.10 05/04/98"));
    Comments = addLabel(this, layout, "Comments",
                        QStringLiteral("A supervised web browser for shared computers."));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tarn
