#pragma once
// A stand-in for a tool window that is not built yet: a modal dialog with the
// tool's title, a short note and a Close button.

#include <QDialog>

#include "tool_windows.h"

namespace corvel {

class PlaceholderToolDialog final : public QDialog {
    Q_OBJECT
public:
    PlaceholderToolDialog(ToolWindow tool, QWidget* parent);
};

}  // namespace corvel
