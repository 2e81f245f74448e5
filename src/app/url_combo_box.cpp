#include "app/url_combo_box.h"

#include <QEvent>
#include <QLineEdit>

namespace tarn {

TUrlComboBox::TUrlComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The focus lands on the line edit inside the box, not on the box itself.
    lineEdit()->installEventFilter(this);
}

void TUrlComboBox::showPopup() {
    emit DropDown();
    QComboBox::showPopup();
}

bool TUrlComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::FocusIn)
        emit Enter();
    return QComboBox::eventFilter(watched, event);
}

}  // namespace tarn
