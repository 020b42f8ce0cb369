#include "ui/main/demo_simulator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include "ui/main/child_process.h"
#include "link/port_map.h"
#include "link/port_names.h"

namespace corvel {
namespace {

constexpr const char* kPortFolderVariable = "CORVEL_PORT_DIR";
constexpr const char* kSimulatorName = "corvel-sim";
constexpr int kStartSeconds = 5;
constexpr int kStopMilliseconds = 2000;

}  // namespace

DemoSimulator::~DemoSimulator() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kStopMilliseconds)) {
        process_.kill();
        process_.waitForFinished(kStopMilliseconds);
    }
}

QString DemoSimulator::findSimulator() {
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(kSimulatorName), here.filePath(QString("../sim/") + kSimulatorName)}) {
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).absoluteFilePath();
    }
    return QStandardPaths::findExecutable(kSimulatorName);
}

bool DemoSimulator::choosePortFolder(QString& error) {
    portFolder_ = QString::fromLocal8Bit(qgetenv(kPortFolderVariable));
    if (!portFolder_.isEmpty()) return true;
    privateFolder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/corvel-demo-XXXXXX");
    if (!privateFolder_->isValid()) {
        error = "cannot create a temporary folder for the simulated port: " + privateFolder_->errorString();
        return false;
    }
    portFolder_ = privateFolder_->path();
    qputenv(kPortFolderVariable, portFolder_.toLocal8Bit());
    return true;
}

// The first COM number that reaches no device of this machine and no entry of
// the port folder: the machine's own ports stay searchable beside the simulator.
int DemoSimulator::freeComNumber() {
    const auto exists = [](const std::string& path) {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(path, error));
    };
    return FirstComNumberWithoutDevice(CurrentPortMapEnvironment(), exists);
}

bool DemoSimulator::start(const QString& model, QString& error) {
    const QString simulator = findSimulator();
    if (simulator.isEmpty()) {
        error = QString("the simulator program %1 was not found beside this program or on PATH").arg(kSimulatorName);
        return false;
    }
    if (!choosePortFolder(error)) return false;
    comNumber_ = freeComNumber();
    if (comNumber_ == 0) {
        error = "every port COM1..COM100 is taken by a device or an entry of " + portFolder_;
        return false;
    }
    QStringList arguments{"--port-dir", portFolder_, "--com", QString::number(comNumber_)};
    if (!model.isEmpty()) arguments << "--model" << model;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    EndWithThisProgram(process_);
    process_.start(simulator, arguments);
    if (!process_.waitForStarted()) {
        error = "the simulator did not start: " + process_.errorString();
        return false;
    }
    const QString link = QDir(portFolder_).filePath(portName());
    const QDeadlineTimer deadline(kStartSeconds * 1000);
    while (!QFileInfo::exists(link)) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
            error = "the simulator did not open its port " + link;
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

}  // namespace corvel
