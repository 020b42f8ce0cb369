#include <QProcess>
#include <csignal>
#include <sys/prctl.h>

#include "ui/main/child_process.h"

namespace corvel {

void EndWithThisProgram(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

}  // namespace corvel
