#include "read_only_edit.h"

#include <QPalette>

namespace corvel {

CReadOnlyEdit::CReadOnlyEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setBackgroundColour(kNormalFieldColour);
}

void CReadOnlyEdit::setBackgroundColour(const QColor& colour) {
    background_ = colour;
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Base, QBrush(colour));
    palette.setColor(QPalette::Text, textColour());
    setPalette(palette);
    repaint();
}

}  // namespace corvel
