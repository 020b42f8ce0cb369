#include "ui/support/qt_launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace corvel {

QString QtLauncher::locate(const QString& fileName) {
    QStringList folders{QCoreApplication::applicationDirPath()};
    folders += QString::fromLocal8Bit(qgetenv("PATH")).split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), fileName);
        if (candidate.isFile()) return candidate.absoluteFilePath();
    }
    return {};
}

std::string QtLauncher::programFolder() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

bool QtLauncher::open(const std::string& fileName) {
    const QString path = locate(QString::fromStdString(fileName));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).isExecutable()) {
        QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
    } else {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    return true;
}

}  // namespace corvel
