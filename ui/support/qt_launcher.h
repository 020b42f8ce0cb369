#pragma once
// The Launcher of the running program. A bare file name is looked for beside
// the utility, then in the folders of PATH. An executable file is started as a
// detached process; any other file is handed to the desktop to open.

#include <QString>

#include "ui/support/launcher.h"

namespace corvel {

class QtLauncher final : public Launcher {
public:
    bool open(const std::string& fileName) override;
    std::string programFolder() const override;

    // The full path of `fileName` beside the utility or on PATH, or empty.
    static QString locate(const QString& fileName);
};

}  // namespace corvel
