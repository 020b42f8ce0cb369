#pragma once
// CAboutDlg: the About box, with the application icon, the version line and OK.

#include <QDialog>

namespace corvel {

inline constexpr const char* kAboutMenuText = "&About Corvel Setup Utility...";

class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace corvel
