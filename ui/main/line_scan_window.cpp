#include "ui/main/line_scan_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "link/port_names.h"

namespace corvel {
namespace {

constexpr int kLastAddress = 254;
constexpr int kRs485Ports = 20;

// Interfaces in the order of the main window's radio buttons.
constexpr LineInterface kInterfaces[] = {LineInterface::Usb, LineInterface::Rs232, LineInterface::Rs485};

constexpr int kLongestTurnaroundMs = 10000;

QSpinBox* NumberBox(QWidget* parent, const char* objectName, int first, int last, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(objectName);
    box->setRange(first, last);
    box->setValue(value);
    box->setAlignment(Qt::AlignRight);
    return box;
}

// Labels and fields side by side, then room to spare.
QHBoxLayout* FieldRow(QWidget* parent, std::initializer_list<std::pair<const char*, QWidget*>> fields) {
    auto* row = new QHBoxLayout;
    for (const auto& [label, field] : fields) {
        if (label) row->addWidget(new QLabel(label, parent));
        row->addWidget(field);
    }
    row->addStretch(1);
    return row;
}

QPushButton* Button(QWidget* parent, const char* text, const char* objectName) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

LineScanWindow::LineScanWindow(const CommSettings& comm, SerialPortFactory& ports, Prompter& prompter,
                               FileChooser& files, QWidget* parent)
    : QDialog(parent), model_(LineScanServices{comm, ports, prompter, files, *this, SteadyInventoryClock()}) {
    setWindowTitle(kScanLineTitle);
    table_ = new QTableWidget(0, static_cast<int>(LineScanColumns().size()), this);
    table_->setObjectName("inventoryTable");
    QStringList headings;
    for (const std::string& heading : LineScanColumns()) headings << QString::fromStdString(heading);
    table_->setHorizontalHeaderLabels(headings);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Room for ten rows: a line of eight shows whole.
    const int rowHeight = fontMetrics().height() + 8;
    table_->verticalHeader()->setDefaultSectionSize(rowHeight);
    table_->setMinimumSize(820, table_->horizontalHeader()->sizeHint().height() + 10 * rowHeight + 4);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &LineScanWindow::showChoiceStates);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &LineScanWindow::select);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("progressBar");
    progressText_ = new QLabel(this);
    progressText_->setObjectName("progressText");
    progressText_->setMinimumWidth(260);
    status_ = new QLabel(this);
    status_->setObjectName("status");

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(progressText_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildLineRows());
    layout->addWidget(table_, 1);
    layout->addLayout(progressRow);
    layout->addWidget(status_);
    layout->addLayout(buildButtonRow());
    showValues();
}

QLayout* LineScanWindow::buildLineRows() {
    interface_ = new QComboBox(this);
    interface_->setObjectName("interfaceChoice");
    interface_->addItems({"USB", "RS232", "RS485"});
    const LineScanChoices& choices = model_.state().choices;
    interface_->setCurrentIndex(static_cast<int>(std::find(std::begin(kInterfaces), std::end(kInterfaces),
                                                           choices.lineInterface) - std::begin(kInterfaces)));
    port_ = new QComboBox(this);
    port_->setObjectName("portChoice");
    for (int number = 1; number <= kRs485Ports; ++number)
        port_->addItem(QString::fromStdString(PortDisplayName(number)));
    baud_ = new QComboBox(this);
    baud_->setObjectName("baudChoice");
    for (const char* rate : kBaudChoices) baud_->addItem(rate);
    baud_->setCurrentText(QString::fromStdString(choices.baudText));
    from_ = NumberBox(this, "fromAddress", 1, kLastAddress, choices.first);
    to_ = NumberBox(this, "toAddress", 1, kLastAddress, choices.last);
    turnaround_ = NumberBox(this, "turnaroundMs", 0, kLongestTurnaroundMs, choices.turnaroundMs);
    turnaround_->setSuffix(" ms");
    turnaround_->setToolTip("The least time a transmitter is given to start its reply at a silent address");
    thorough_ = new QCheckBox("Thorough (full time-outs)", this);
    thorough_->setObjectName("thoroughCheck");
    connect(interface_, &QComboBox::currentIndexChanged, this, &LineScanWindow::showChoiceStates);
    connect(thorough_, &QCheckBox::toggled, this, &LineScanWindow::showChoiceStates);

    auto* rows = new QVBoxLayout;
    rows->addLayout(FieldRow(this, {{"Interface:", interface_}, {"Port:", port_}, {"Baud:", baud_}}));
    rows->addLayout(FieldRow(this, {{"Addresses:", from_}, {"to", to_}, {"Turnaround:", turnaround_},
                                    {nullptr, thorough_}}));
    return rows;
}

QLayout* LineScanWindow::buildButtonRow() {
    scan_ = Button(this, "Scan", "scanButton");
    cancel_ = Button(this, "Cancel", "cancelButton");
    export_ = Button(this, "Export CSV...", "exportButton");
    select_ = Button(this, "Select", "selectButton");
    auto* close = Button(this, "Close", "closeButton");
    connect(scan_, &QPushButton::clicked, this, &LineScanWindow::scan);
    connect(cancel_, &QPushButton::clicked, this, [this] { model_.cancel(); });
    connect(export_, &QPushButton::clicked, this, [this] { model_.exportCsv(); });
    connect(select_, &QPushButton::clicked, this, &LineScanWindow::select);
    connect(close, &QPushButton::clicked, this, &LineScanWindow::reject);
    auto* row = new QHBoxLayout;
    for (QPushButton* button : {scan_, cancel_}) row->addWidget(button);
    row->addStretch(1);
    for (QPushButton* button : {export_, select_, close}) row->addWidget(button);
    return row;
}

void LineScanWindow::takeChoices() {
    LineScanChoices choices;
    choices.lineInterface = kInterfaces[interface_->currentIndex()];
    choices.portText = port_->currentText().toStdString();
    choices.baudText = baud_->currentText().toStdString();
    choices.first = from_->value();
    choices.last = to_->value();
    choices.thorough = thorough_->isChecked();
    choices.turnaroundMs = turnaround_->value();
    model_.setChoices(choices);
}

void LineScanWindow::scan() {
    takeChoices();
    table_->setRowCount(0);
    model_.scan();
}

void LineScanWindow::select() {
    const int row = table_->currentRow();
    if (model_.state().running || row < 0 || row >= static_cast<int>(model_.state().found.size())) return;
    selected_ = model_.listed(static_cast<std::size_t>(row));
    accept();
}

void LineScanWindow::reject() {
    if (model_.state().running) {
        model_.cancel();
        return;
    }
    QDialog::reject();
}

// The port, baud and address fields that the chosen interface uses, and the
// buttons that fit the moment.
void LineScanWindow::showChoiceStates() {
    const bool running = model_.state().running;
    const LineInterface line = kInterfaces[interface_->currentIndex()];
    for (QWidget* field : {static_cast<QWidget*>(interface_), static_cast<QWidget*>(thorough_)})
        field->setEnabled(!running);
    port_->setEnabled(!running && line == LineInterface::Rs485);
    from_->setEnabled(!running && line == LineInterface::Rs485);
    to_->setEnabled(!running && line == LineInterface::Rs485);
    turnaround_->setEnabled(!running && !thorough_->isChecked());
    baud_->setEnabled(!running && line != LineInterface::Usb);
    scan_->setEnabled(!running);
    cancel_->setEnabled(running);
    export_->setEnabled(!running && !model_.state().found.empty());
    select_->setEnabled(!running && table_->currentRow() >= 0);
}

// New rows are added as they are found; the rows already shown stay.
void LineScanWindow::showValues() {
    const LineScanState& state = model_.state();
    for (int row = table_->rowCount(); row < static_cast<int>(state.found.size()); ++row) {
        table_->insertRow(row);
        const std::vector<std::string> cells = LineScanRow(state.found[static_cast<std::size_t>(row)]);
        for (std::size_t column = 0; column < cells.size(); ++column)
            table_->setItem(row, static_cast<int>(column), new QTableWidgetItem(QString::fromStdString(cells[column])));
    }
    table_->resizeColumnsToContents();
    progress_->setValue(state.percent);
    progressText_->setText(QString::fromStdString(state.progressText));
    status_->setText(QString::fromStdString(state.status));
    showChoiceStates();
}

void LineScanWindow::processEvents() { QApplication::processEvents(); }

}  // namespace corvel
