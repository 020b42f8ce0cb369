#pragma once
// Windows on small screens: a laptop at 1366x768, or a desktop at 200 %
// scaling, leaves a window less room than its controls may want. A window
// made scrollable keeps its full size where the screen has room and scrolls
// its contents where it has not.

#include <QScrollArea>
#include <QSize>

class QDialog;
class QLayout;
class QWidget;

namespace corvel {

// Height a desktop keeps for its panel and the window's title bar; both grow
// with the desktop's scaling, so this is in the window's own pixels.
inline constexpr int kPanelAndTitleBarHeight = 48;

// The room a window on the screen of `widget` has, in the window's own pixels.
QSize UsableScreenSize(const QWidget* widget);

// A scroll area as large as its contents, or as its room on the screen where
// the contents are larger; then the other side grows by a scroll bar's width
// so that one bar is enough.
class ScreenBoundScrollArea final : public QScrollArea {
public:
    // `keptInView`, where given, lies below the area in the window and takes
    // its height from the area's room.
    ScreenBoundScrollArea(QWidget* parent, const QLayout* keptInView);

    // The usable screen less what is kept in view below the area.
    QSize room() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    QSize bounded(QSize contents) const;

    const QLayout* keptInView_;
};

// Moves the contents of `window` (its layout) into a scroll area that asks for
// the contents' whole size, or for the usable screen where that is smaller.
// `keptInView`, where given, goes below the area and never scrolls away: the
// window's own buttons.
ScreenBoundScrollArea& ScrollWhenLargerThanScreen(QDialog& window, QLayout* keptInView = nullptr);

}  // namespace corvel
