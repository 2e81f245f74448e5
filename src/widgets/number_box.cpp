#include "widgets/number_box.h"

#include <algorithm>

namespace tarn {

TNumberBox::TNumberBox(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

QValidator::State TNumberBox::validate(QString& text, int&) const {
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return QValidator::Invalid;
    }
    bool number = false;
    const int value = text.toInt(&number);
    return number && value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                              : QValidator::Intermediate;
}

void TNumberBox::fixup(QString& text) const {
    text = QString::number(valueFromText(text));
}

int TNumberBox::valueFromText(const QString& text) const {
    bool number = false;
    const int value = text.toInt(&number);
    return number ? std::clamp(value, minimum(), maximum()) : minimum();
}

}  // namespace tarn
