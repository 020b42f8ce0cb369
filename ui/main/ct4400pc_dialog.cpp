#include "ui/main/ct4400pc_dialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QIcon>
#include <QVBoxLayout>

#include "ui/main/about_dlg.h"
#include "ui/main/line_scan_window.h"
#include "ui/tools/read_only_edit.h"
#include "common/program_version.h"

namespace corvel {
namespace {

QPushButton* KeepSpaceWhenHidden(QPushButton* button) {
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    return button;
}

// The application's own icon, in the sizes the desktop picks from.
QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) icon.addFile(QString(":/icons/corvel-setup-%1.png").arg(size));
    return icon;
}

}  // namespace

CT4400PCDialog::CT4400PCDialog(const UiContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      notifier_(context.prompter),
      ports_(context.ports),
      session_(LinkContext{context.comm, context.store, ports_, notifier_, context.shared, context.exchanges}),
      model_(MainWindowServices{session_, context.comm, context.store, context.prompter, context.launcher,
                                context.connectDialogs, *this}) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ports_.setWatcher(&eventPump_);
    setWindowTitle(QString::fromLatin1(kApplicationTitle.data(), kApplicationTitle.size()));
    setWindowIcon(ApplicationIcon());
    buildLayout();
    model_.open();
    showValues();
    QApplication::restoreOverrideCursor();
}

CT4400PCDialog::~CT4400PCDialog() { ports_.setWatcher(nullptr); }

// Transmitter with the configuration file and report entries, Options with the
// switch for replies that fail their checks, View with the bus monitor, and
// Help with the user guide and the About entry; the window's context menu
// offers About too.
QMenuBar* CT4400PCDialog::buildMenuBar() {
    auto* acceptDamaged = new QAction(kAcceptDamagedRepliesEntry, this);
    acceptDamaged->setObjectName("acceptDamagedRepliesAction");
    acceptDamaged->setCheckable(true);
    acceptDamaged->setChecked(context_.comm.acceptDamagedReplies);
    connect(acceptDamaged, &QAction::toggled, this, [this](bool accept) { model_.setAcceptDamagedReplies(accept); });
    auto* about = new QAction(kAboutMenuText, this);
    about->setObjectName("aboutAction");
    connect(about, &QAction::triggered, this, &CT4400PCDialog::showAbout);
    auto* userGuide = new QAction(kUserGuideMenuText, this);
    userGuide->setObjectName("userGuideAction");
    connect(userGuide, &QAction::triggered, this, [this] { model_.openUserGuide(); });
    auto* menuBar = new QMenuBar(this);
    addTransmitterMenu(menuBar);
    menuBar->addMenu("&Options")->addAction(acceptDamaged);
    menuBar->addMenu("&View")->addAction(buildBusMonitorAction());
    QMenu* help = menuBar->addMenu("&Help");
    help->addAction(userGuide);
    help->addAction(about);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    return menuBar;
}

QAction* CT4400PCDialog::buildBusMonitorAction() {
    auto* busMonitor = new QAction("Bus monitor", this);
    busMonitor->setObjectName("busMonitorAction");
    busMonitor->setShortcut(BusMonitorShortcut());
    busMonitor->setEnabled(context_.busMonitor != nullptr);
    connect(busMonitor, &QAction::triggered, this, [this] { context_.busMonitor->show(this); });
    return busMonitor;
}

// The selected transmitter's configuration as a file, and its commissioning report.
void CT4400PCDialog::addTransmitterMenu(QMenuBar* menuBar) {
    transmitterMenu_ = menuBar->addMenu("&Transmitter");
    transmitterMenu_->setObjectName("transmitterMenu");
    const std::pair<ToolWindow, const char*> entries[] = {{ToolWindow::SaveConfiguration, "saveConfigurationAction"},
                                                          {ToolWindow::CompareWithFile, "compareWithFileAction"},
                                                          {ToolWindow::RestoreFromFile, "restoreFromFileAction"},
                                                          {ToolWindow::CommissioningReport, "commissioningReportAction"}};
    for (const auto& [entry, name] : entries) {
        QAction* action = transmitterMenu_->addAction(ToolWindowTitle(entry));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, entry = entry] { context_.tools.open(entry, this); });
    }
}

void CT4400PCDialog::buildLayout() {
    auto* groups = new QHBoxLayout;
    groups->addWidget(buildToolGroup());
    groups->addLayout(buildConnectionColumn());

    auto* footer = new QLabel(QString("Corvel Setup Utility ") + kProgramVersion, this);
    footer->setObjectName("footer");
    auto* exit = new QPushButton("Exit", this);
    exit->setObjectName("exitButton");
    // Not the default button: Enter in the address field must not end the utility.
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &CT4400PCDialog::exitUtility);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(footer);
    bottom->addStretch(1);
    bottom->addWidget(exit);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(buildMenuBar());
    layout->addLayout(groups);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* CT4400PCDialog::addToolButton(ToolWindow tool, const char* objectName) {
    auto* button = new QPushButton(ToolWindowTitle(tool), this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, tool] { context_.tools.open(tool, this); });
    return button;
}

QWidget* CT4400PCDialog::buildToolGroup() {
    auto* group = new QGroupBox("Configuration and Operation Interface", this);
    measurementConfiguration_ = addToolButton(ToolWindow::MeasurementConfiguration, "measurementConfigurationButton");
    analogOutput_ = addToolButton(ToolWindow::AnalogOutput, "analogOutputButton");
    deviceInfo_ = addToolButton(ToolWindow::DeviceInfo, "deviceInfoButton");
    fieldRecalibration_ = addToolButton(ToolWindow::FieldRecalibration, "fieldRecalibrationButton");
    reflashFirmware_ = new QPushButton("Reflash Firmware", this);
    reflashFirmware_->setObjectName("reflashFirmwareButton");
    reflashFirmware_->setAutoDefault(false);
    connect(reflashFirmware_, &QPushButton::clicked, this, [this] { model_.reflashFirmware(); });
    dataLogUtility_ = addToolButton(ToolWindow::DataLogUtility, "dataLogUtilityButton");

    auto* layout = new QVBoxLayout(group);
    for (QPushButton* button : {measurementConfiguration_, analogOutput_, deviceInfo_, fieldRecalibration_,
                                reflashFirmware_, dataLogUtility_}) {
        button->setMinimumWidth(200);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return group;
}

QWidget* CT4400PCDialog::buildCommunicationGroup() {
    auto* group = new QGroupBox("Communication Settings", this);
    usb_ = new QRadioButton("USB", group);
    rs232_ = new QRadioButton("RS232", group);
    rs485_ = new QRadioButton("RS485", group);
    usb_->setObjectName("usbRadio");
    rs232_->setObjectName("rs232Radio");
    rs485_->setObjectName("rs485Radio");
    usb_->setChecked(true);
    auto* interfaces = new QButtonGroup(group);
    for (QRadioButton* radio : {usb_, rs232_, rs485_}) interfaces->addButton(radio);
    connect(usb_, &QRadioButton::clicked, this, [this] { chooseInterface(&MainWindowModel::chooseUsb); });
    connect(rs232_, &QRadioButton::clicked, this, [this] { chooseInterface(&MainWindowModel::chooseRs232); });
    connect(rs485_, &QRadioButton::clicked, this, [this] { chooseInterface(&MainWindowModel::chooseRs485); });

    findDevice_ = new QPushButton("Find Device", group);
    findDevice_->setObjectName("findDeviceButton");
    findDevice_->setAutoDefault(false);
    connect(findDevice_, &QPushButton::clicked, this, &CT4400PCDialog::findDevice);
    auto* scanLine = new QPushButton("Scan line...", group);
    scanLine->setObjectName("scanLineButton");
    scanLine->setAutoDefault(false);
    connect(scanLine, &QPushButton::clicked, this, &CT4400PCDialog::scanLine);

    address_ = new QLineEdit(group);
    address_->setObjectName("addressField");
    address_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), address_));
    address_->setMaximumWidth(60);
    address_->setAlignment(Qt::AlignRight);
    editableAddressLook_ = address_->palette();
    p1Line_ = new QLabel(group);
    p2Line_ = new QLabel(group);
    p1Line_->setObjectName("p1Line");
    p2Line_->setObjectName("p2Line");
    p1Line_->setMinimumWidth(180);

    setNewAddress_ = KeepSpaceWhenHidden(new QPushButton("Set New Address", group));
    setNewAddress_->setObjectName("setNewAddressButton");
    setNewAddress_->setAutoDefault(false);
    connect(setNewAddress_, &QPushButton::clicked, this, &CT4400PCDialog::setNewAddress);

    auto* radios = new QHBoxLayout;
    for (QRadioButton* radio : {usb_, rs232_, rs485_}) radios->addWidget(radio);
    radios->addStretch(1);
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(new QLabel("Addr:", group));
    addressRow->addWidget(address_);
    addressRow->addStretch(1);

    auto* layout = new QVBoxLayout(group);
    layout->addLayout(radios);
    auto* searches = new QHBoxLayout;
    searches->addWidget(findDevice_);
    searches->addWidget(scanLine);
    layout->addLayout(searches);
    layout->addLayout(addressRow);
    layout->addWidget(p1Line_);
    layout->addWidget(p2Line_);
    layout->addWidget(setNewAddress_);
    layout->addStretch(1);
    return group;
}

// The connection group with the selected transmitter and the status note below
// it; the two lines wrap at the group's width so that the window stays narrow
// enough for a small screen.
QLayout* CT4400PCDialog::buildConnectionColumn() {
    selectedTransmitter_ = new QLabel(this);
    selectedTransmitter_->setObjectName("selectedTransmitter");
    statusNote_ = new QLabel(this);
    statusNote_->setObjectName("statusNote");
    statusNote_->setVisible(false);
    for (QLabel* line : {selectedTransmitter_, statusNote_}) {
        line->setWordWrap(true);
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    auto* column = new QVBoxLayout;
    column->addWidget(buildCommunicationGroup());
    column->addWidget(selectedTransmitter_);
    column->addWidget(statusNote_);
    return column;
}

void CT4400PCDialog::setStatusNote(const QString& note) {
    statusNote_->setText(note);
    statusNote_->setVisible(!note.isEmpty());
}

void CT4400PCDialog::findDevice() {
    model_.findDevice();
    stopProgress();
    setWaitCursor(false);
    showValues();
}

// The line inventory's window; the transmitter selected there becomes the
// selected one here, on its interface.
void CT4400PCDialog::scanLine() {
    LineScanWindow window(context_.comm, context_.ports, context_.prompter, context_.files, this);
    if (window.exec() != QDialog::Accepted || !window.selected()) return;
    model_.selectListed(*window.selected());
    const LineInterface line = context_.comm.lineInterface;
    (line == LineInterface::Usb ? usb_ : line == LineInterface::Rs232 ? rs232_ : rs485_)->setChecked(true);
    stopProgress();
    setWaitCursor(false);
    showValues();
}

// The interface choice takes what the address field holds and leaves the field
// as the operator typed it; nothing else it changes is drawn.
void CT4400PCDialog::chooseInterface(void (MainWindowModel::*choice)()) {
    model_.takeAddressField(ParseAddressField(address_->text().toStdString()));
    (model_.*choice)();
}

void CT4400PCDialog::setNewAddress() {
    model_.setNewAddress(ParseAddressField(address_->text().toStdString()));
    showValues();
}

void CT4400PCDialog::exitUtility() {
    model_.exit();
    accept();
}

void CT4400PCDialog::reject() { exitUtility(); }

// Escape does not end the utility; "Exit" and the window's frame do.
void CT4400PCDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void CT4400PCDialog::showAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CT4400PCDialog::setWaitCursor(bool on) {
    if (on == waitCursor_) return;
    waitCursor_ = on;
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

void CT4400PCDialog::startProgress() {
    if (scanProgress_) return;
    scanProgress_ = std::make_unique<AddressScanProgress>(this);
    ports_.setWatcher(scanProgress_.get());
}

bool CT4400PCDialog::progressCancelled() const { return scanProgress_ && scanProgress_->cancelled(); }

void CT4400PCDialog::stopProgress() {
    ports_.setWatcher(&eventPump_);
    scanProgress_.reset();
}

void CT4400PCDialog::showValues() {
    const MainWindowState& state = model_.state();
    const ToolButtonStates& buttons = state.buttons;
    measurementConfiguration_->setEnabled(buttons.measurementConfiguration);
    analogOutput_->setEnabled(buttons.analogOutput);
    fieldRecalibration_->setEnabled(buttons.fieldRecalibration);
    deviceInfo_->setEnabled(buttons.deviceInfo);
    reflashFirmware_->setEnabled(buttons.reflashFirmware);
    dataLogUtility_->setEnabled(buttons.dataLogUtility);
    setNewAddress_->setEnabled(buttons.setNewAddress);
    setNewAddress_->setVisible(buttons.setNewAddressShown);
    address_->setText(QString::number(state.addressField));
    address_->setReadOnly(state.addressFieldReadOnly);
    QPalette addressLook = editableAddressLook_;
    if (state.addressFieldReadOnly) addressLook.setColor(QPalette::Base, kNormalFieldColour);
    address_->setPalette(addressLook);
    p1Line_->setText(QString::fromStdString(state.p1Text));
    p2Line_->setText(QString::fromStdString(state.p2Text));
    selectedTransmitter_->setText(QString::fromStdString(SelectedTransmitterText(state.selected)));
    for (QAction* action : transmitterMenu_->actions()) action->setEnabled(state.selected.present);
    update();
}

}  // namespace corvel
