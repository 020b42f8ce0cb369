#pragma once
// Windows on small screens: a laptop at 1366x768, or a desktop at 200 %
// scaling, leaves a window less room than its controls may want. A window
// made scrollable keeps its full size where the screen has room and scrolls
// its contents where it has not.

#include <QSize>

class QDialog;
class QWidget;

namespace corvel {

// Height a desktop keeps for its panel and the window's title bar; both grow
// with the desktop's scaling, so this is in the window's own pixels.
inline constexpr int kPanelAndTitleBarHeight = 48;

// The room a window on the screen of `widget` has, in the window's own pixels.
QSize UsableScreenSize(const QWidget* widget);

// Moves the contents of `window` (its layout) into a scroll area that asks for
// the contents' whole size, or for the usable screen where that is smaller.
void ScrollWhenLargerThanScreen(QDialog& window);

}  // namespace corvel
