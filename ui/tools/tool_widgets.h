#pragma once
// Small helpers the tool windows build their widgets with: object names for
// the tests, read-only fields in the read-only grey, number fields, buttons
// that Enter does not press, and field updates that leave an unchanged text
// (and its cursor) alone.

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <string>

#include "ui/tools/read_only_edit.h"

namespace corvel {

template <typename W>
W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

inline QLineEdit* ReadOnlyField(const QString& name, QWidget* parent) {
    return Named(new CReadOnlyEdit(parent), name);
}

// Numbers in a column line up on their last digit, whether or not their text is padded.
template <typename Field>
Field* NumberField(Field* field) {
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return field;
}

// A button that Enter in a field of the window does not press.
inline QPushButton* ToolButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    return button;
}

inline void SetText(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

inline QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace corvel
