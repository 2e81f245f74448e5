#include "app/url_combo_box.h"

namespace tarn {

TUrlComboBox::TUrlComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void TUrlComboBox::showPopup() {
    emit DropDown();
    QComboBox::showPopup();
}

}  // namespace tarn
