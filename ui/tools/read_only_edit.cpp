#include "ui/tools/read_only_edit.h"

#include <QPalette>

namespace corvel {

CReadOnlyEdit::CReadOnlyEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    applyColours();
}

void CReadOnlyEdit::setBackgroundColour(const QColor& colour) {
    if (colour == background_) return;
    background_ = colour;
    applyColours();
    repaint();
}

void CReadOnlyEdit::applyColours() {
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Base, QBrush(background_));
    palette.setColor(QPalette::Text, textColour());
    setPalette(palette);
}

}  // namespace corvel
