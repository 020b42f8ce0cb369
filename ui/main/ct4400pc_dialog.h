#pragma once
// CT4400PCDialog: the main window, "Corvel Setup Utility". The operator picks
// the interface, finds the transmitter and opens one tool window at a time.
// The window only draws and forwards: its actions live in MainWindowModel and
// DeviceDiscovery, and it owns the DeviceSession they use.

#include <QDialog>
#include <QPalette>
#include <memory>

#include "ui/main/address_scan_progress.h"
#include "ui/main/device_discovery.h"
#include "link/device_session.h"
#include "ui/support/event_pump_watcher.h"
#include "ui/main/main_window_model.h"
#include "ui/support/prompter_notifier.h"
#include "ui/support/window_host.h"
#include "ui/main/ui_context.h"
#include "ui/support/watched_port_factory.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace corvel {

class CT4400PCDialog final : public QDialog, private WindowHost {
    Q_OBJECT
public:
    CT4400PCDialog(const UiContext& context, QWidget* parent = nullptr);
    ~CT4400PCDialog() override;

    const MainWindowState& state() const { return model_.state(); }
    // A line at the foot of the connection group, e.g. that the transmitter is simulated.
    void setStatusNote(const QString& note);

    // Closing the window by its frame ends the utility as "Exit" does.
    void reject() override;

public Q_SLOTS:
    void showAbout();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    QMenuBar* buildMenuBar();
    QAction* buildBusMonitorAction();
    void addTransmitterMenu(QMenuBar* menuBar);
    QWidget* buildToolGroup();
    QWidget* buildCommunicationGroup();
    QLayout* buildConnectionColumn();
    QPushButton* addToolButton(ToolWindow tool, const char* objectName);
    void chooseInterface(void (MainWindowModel::*choice)());
    void findDevice();
    void scanLine();
    void setNewAddress();
    void exitUtility();

    // The window host: a search shows the wait cursor, and an address scan
    // its progress display with a Cancel button.
    void showValues() override;
    void setWaitCursor(bool on) override;
    void startProgress() override;
    void stopProgress() override;
    bool progressCancelled() const override;

    UiContext context_;
    PrompterNotifier notifier_;
    WatchedPortFactory ports_;
    EventPumpWatcher eventPump_;
    DeviceSession session_;
    MainWindowModel model_;
    std::unique_ptr<AddressScanProgress> scanProgress_;
    bool waitCursor_ = false;

    QPushButton* measurementConfiguration_ = nullptr;
    QPushButton* analogOutput_ = nullptr;
    QPushButton* deviceInfo_ = nullptr;
    QPushButton* fieldRecalibration_ = nullptr;
    QPushButton* reflashFirmware_ = nullptr;
    QPushButton* dataLogUtility_ = nullptr;
    QRadioButton* usb_ = nullptr;
    QRadioButton* rs232_ = nullptr;
    QRadioButton* rs485_ = nullptr;
    QPushButton* findDevice_ = nullptr;
    QLineEdit* address_ = nullptr;
    QPalette editableAddressLook_;  // the address field while the operator may type in it
    QLabel* p1Line_ = nullptr;
    QLabel* p2Line_ = nullptr;
    QPushButton* setNewAddress_ = nullptr;
    QLabel* selectedTransmitter_ = nullptr;
    QLabel* statusNote_ = nullptr;
    QMenu* transmitterMenu_ = nullptr;
};

}  // namespace corvel
