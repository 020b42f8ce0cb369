#pragma once
// Opens the bus monitor over a window: from the main window's View menu and,
// by the same shortcut, from any tool window. While a modal tool window runs,
// the monitor belongs to it, so that the operator can still scroll and pause it.

#include <QKeySequence>

class QWidget;

namespace corvel {

inline QKeySequence BusMonitorShortcut() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B); }

class BusMonitorOpener {
public:
    virtual ~BusMonitorOpener() = default;
    // Shows the monitor (made on first use) as a window of `over` and raises it.
    virtual void show(QWidget* over) = 0;
    // A modal `window` opens: a monitor on screen moves over it, so that it stays usable.
    virtual void hold(QWidget* window) = 0;
    // `window` is closing: a monitor shown over it goes back to the main window.
    virtual void release(QWidget* window) = 0;
};

// The shortcut of the bus monitor on a modal window, for as long as this
// object lives; a monitor on screen moves over the window at the start, and
// goes back at the end.
class BusMonitorShortcutOn {
public:
    BusMonitorShortcutOn(BusMonitorOpener* opener, QWidget& window);
    ~BusMonitorShortcutOn();
    BusMonitorShortcutOn(const BusMonitorShortcutOn&) = delete;
    BusMonitorShortcutOn& operator=(const BusMonitorShortcutOn&) = delete;

private:
    BusMonitorOpener* opener_;
    QWidget& window_;
};

}  // namespace corvel
