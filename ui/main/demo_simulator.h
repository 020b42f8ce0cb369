#pragma once
// Demo mode: a simulated transmitter on a pseudo-terminal, so that the utility
// can be tried without hardware. The simulator program (corvel-sim, looked for
// beside this program, in the build tree's sim folder and on PATH) serves the
// terminal and links it as COMn in the folder of the port map
// (CORVEL_PORT_DIR), at the first COM number that reaches no device of this
// machine, so the real ports stay searchable beside it. Without that variable
// a private temporary folder is made for this run and removed at exit. The
// simulator stops with this object.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace corvel {

class DemoSimulator {
public:
    DemoSimulator() = default;
    DemoSimulator(const DemoSimulator&) = delete;
    DemoSimulator& operator=(const DemoSimulator&) = delete;
    ~DemoSimulator();

    // Starts the simulator for `model` (empty: its default model) and waits,
    // a few seconds at most, until its port appears. On failure `error` says why.
    bool start(const QString& model, QString& error);
    // "COM" and the number the simulated transmitter answers on.
    QString portName() const { return QString("COM%1").arg(comNumber_); }

private:
    static QString findSimulator();
    bool choosePortFolder(QString& error);
    static int freeComNumber();

    std::unique_ptr<QTemporaryDir> privateFolder_;
    QString portFolder_;
    int comNumber_ = 0;
    QProcess process_;
};

}  // namespace corvel
