#include "ui/support/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace corvel {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton BoxButton(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Yes: return QMessageBox::Yes;
        case MessageAnswer::No: return QMessageBox::No;
        case MessageAnswer::Cancel: return QMessageBox::Cancel;
        case MessageAnswer::Ok: break;
    }
    return QMessageBox::Ok;
}

// What closing the box by its frame or Escape answers.
MessageAnswer Dismissed(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
        case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}

}  // namespace

MessageAnswer QtPrompter::show(const Message& message) {
    QMessageBox box(BoxIcon(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), BoxButtons(message.buttons), QApplication::activeWindow());
    if (message.defaultButton) box.setDefaultButton(BoxButton(*message.defaultButton));
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    switch (pressed) {
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        default: return Dismissed(message.buttons);
    }
}

}  // namespace corvel
