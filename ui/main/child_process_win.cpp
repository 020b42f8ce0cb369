#include <QProcess>

#include "ui/main/child_process.h"

namespace corvel {

// The demo simulator serves a pseudo-terminal and does not exist on Windows,
// so there is no helper program to tie to this one here.
void EndWithThisProgram(QProcess&) {}

}  // namespace corvel
