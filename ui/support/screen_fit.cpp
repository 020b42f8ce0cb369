#include "ui/support/screen_fit.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace corvel {
namespace {

// A scroll area as large as its contents, or as the usable screen where the
// contents are larger; then the other side grows by a scroll bar's width so
// that one bar is enough.
class ScreenBoundScrollArea final : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override { return bounded(widget()->sizeHint()); }
    QSize minimumSizeHint() const override { return bounded(widget()->minimumSizeHint()); }

private:
    QSize bounded(QSize contents) const {
        const QSize room = UsableScreenSize(this);
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        if (contents.height() > room.height()) contents = {contents.width() + bar, room.height()};
        if (contents.width() > room.width()) contents = {room.width(), contents.height() + bar};
        return contents.boundedTo(room);
    }
};

}  // namespace

QSize UsableScreenSize(const QWidget* widget) {
    const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry().size() - QSize(0, kPanelAndTitleBarHeight);
}

void ScrollWhenLargerThanScreen(QDialog& window) {
    auto* contents = new QWidget;
    contents->setLayout(window.layout());  // takes the layout and its widgets over
    auto* area = new ScreenBoundScrollArea(&window);
    area->setObjectName("contentsScrollArea");
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(contents);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
}

}  // namespace corvel
