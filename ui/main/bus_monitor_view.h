#pragma once
// BusMonitor: the "Bus monitor" window. It lists every exchange of the
// utility with the transmitter as it happens, with counters, and offers
// pause, clear, a failures-only filter and "Save as text...". It gathers the
// exchanges on a timer, a few times a second, so that it never slows them.

#include <QTimer>
#include <QWidget>

#include "link/exchange_log.h"
#include "ui/main/bus_monitor_model.h"
#include "ui/support/file_chooser.h"
#include "ui/support/prompter.h"

class QLabel;
class QTableView;

namespace corvel {

class BusMonitor final : public QWidget {
    Q_OBJECT
public:
    BusMonitor(ExchangeLog& log, FileChooser& files, Prompter& prompter, QWidget* parent = nullptr);

    BusMonitorModel& model() { return model_; }
    // Takes in the exchanges since the last look (the timer does this every 100 ms).
    void refresh();

private:
    QWidget* buildControls();
    void saveAsText();

    BusMonitorModel model_;
    FileChooser& files_;
    Prompter& prompter_;
    QTimer timer_;
    QTableView* table_ = nullptr;
    QLabel* counters_ = nullptr;
};

}  // namespace corvel
