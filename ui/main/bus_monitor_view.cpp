#include "ui/main/bus_monitor_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "readings/readings_file.h"

namespace corvel {
namespace {

constexpr int kRefreshMs = 100;

// The widest text each column shows, so that no decoded column is cut; the
// frame, last, gets room for a reply of about 36 bytes and scrolls beyond.
const char* const kWidestCells[BusMonitorModel::ColumnCount] = {
    "00:00:00.000",
    "COM100 115200",
    "Out",
    "ReadDeviceStrings at 0x0062 (119 bytes), to 254/254",
    "not the answer to this request",
    "Reply after",
    "Message incomplete after timeout, message discarded",
    "80 01 30 28 80 04 B2 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
};
constexpr int kCellPadding = 16;

}  // namespace

BusMonitor::BusMonitor(ExchangeLog& log, FileChooser& files, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(log), files_(files), prompter_(prompter) {
    setObjectName("busMonitor");
    setWindowTitle("Bus monitor");
    table_ = new QTableView(this);
    table_->setObjectName("exchangeTable");
    table_->setModel(&model_);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setWordWrap(false);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int column = 0; column < BusMonitorModel::ColumnCount; ++column)
        table_->setColumnWidth(column, table_->fontMetrics().horizontalAdvance(kWidestCells[column]) + kCellPadding);
    counters_ = new QLabel(this);
    counters_->setObjectName("countersLabel");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildControls());
    layout->addWidget(table_, 1);
    layout->addWidget(counters_);
    resize(1200, 480);
    // A closed monitor leaves the table alone; it catches up when it shows again.
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (isVisible()) refresh();
    });
    timer_.start(kRefreshMs);
    refresh();
}

QWidget* BusMonitor::buildControls() {
    auto* controls = new QWidget(this);
    auto* pause = new QPushButton("Pause", controls);
    pause->setObjectName("pauseButton");
    pause->setCheckable(true);
    connect(pause, &QPushButton::toggled, this, [this](bool paused) { model_.setPaused(paused); });
    auto* clear = new QPushButton("Clear", controls);
    clear->setObjectName("clearButton");
    connect(clear, &QPushButton::clicked, this, [this] {
        model_.clear();
        refresh();
    });
    auto* failures = new QCheckBox("Failures only", controls);
    failures->setObjectName("failuresOnlyCheck");
    connect(failures, &QCheckBox::toggled, this, [this](bool only) { model_.setFailuresOnly(only); });
    auto* save = new QPushButton("Save as text...", controls);
    save->setObjectName("saveAsTextButton");
    connect(save, &QPushButton::clicked, this, &BusMonitor::saveAsText);
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(pause);
    row->addWidget(clear);
    row->addWidget(failures);
    row->addStretch(1);
    row->addWidget(save);
    return controls;
}

void BusMonitor::refresh() {
    QScrollBar* scroll = table_->verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    model_.refresh();
    counters_->setText(QString::fromStdString(model_.countersText()));
    if (following && !model_.paused()) table_->scrollToBottom();
}

void BusMonitor::saveAsText() {
    const auto path =
        files_.saveFile(FileChoice{"Save as text", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", "txt", "bus.txt"});
    if (!path) return;
    std::string reason;
    if (!WriteReadingsFile(*path, false, model_.textLines(), reason)) {
        prompter_.error("The exchanges could not be written to " + *path + ": " + reason);
    }
}

}  // namespace corvel
