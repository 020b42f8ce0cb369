#include "ui/support/screen_fit.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace corvel {

QSize UsableScreenSize(const QWidget* widget) {
    const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry().size() - QSize(0, kPanelAndTitleBarHeight);
}

ScreenBoundScrollArea::ScreenBoundScrollArea(QWidget* parent, const QLayout* keptInView)
    : QScrollArea(parent), keptInView_(keptInView) {}

QSize ScreenBoundScrollArea::room() const {
    const int below = keptInView_ ? keptInView_->sizeHint().height() : 0;
    return UsableScreenSize(this) - QSize(0, below);
}

QSize ScreenBoundScrollArea::sizeHint() const { return bounded(widget()->sizeHint()); }

QSize ScreenBoundScrollArea::minimumSizeHint() const { return bounded(widget()->minimumSizeHint()); }

QSize ScreenBoundScrollArea::bounded(QSize contents) const {
    const QSize room = this->room();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (contents.height() > room.height()) contents = {contents.width() + bar, room.height()};
    if (contents.width() > room.width()) contents = {room.width(), contents.height() + bar};
    return contents.boundedTo(room);
}

ScreenBoundScrollArea& ScrollWhenLargerThanScreen(QDialog& window, QLayout* keptInView) {
    QLayout* contentsLayout = window.layout();
    auto* contents = new QWidget;
    contents->setLayout(contentsLayout);  // takes the layout and its widgets over
    auto* area = new ScreenBoundScrollArea(&window, keptInView);
    area->setObjectName("contentsScrollArea");
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(contents);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(area);
    if (keptInView) {
        // Beside and below it the margins of the contents, so that it lines up with them.
        const QMargins margins = contentsLayout->contentsMargins();
        keptInView->setContentsMargins(margins.left(), 0, margins.right(), margins.bottom());
        layout->addLayout(keptInView);
    }
    return *area;
}

}  // namespace corvel
