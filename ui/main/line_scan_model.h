#pragma once
// The "Scan line..." window without its widgets: the line to walk (interface,
// port, baud rate, address range, thorough), the transmitters the inventory
// finds as it goes, its progress and Cancel, the list written as CSV, and the
// row the operator selects, handed to the main window as a listed transmitter.
//
// The scan talks through a session and communication settings of its own, so
// that the main window's line, flags and selected transmitter stay as they
// are until the operator selects one.

#include <cstddef>
#include <string>
#include <vector>

#include "app/comm_settings.h"
#include "link/device_session.h"
#include "link/line_inventory.h"
#include "link/owned_link_context.h"
#include "ui/main/device_discovery.h"
#include "ui/support/file_chooser.h"
#include "ui/support/prompter.h"
#include "ui/support/window_host.h"

namespace corvel {

inline constexpr const char* kScanLineTitle = "Scan Line";
inline constexpr const char* kInventoryFileFilter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||";
inline constexpr const char* kEmptyRangeText = "The first address must not be above the last.";

struct LineScanChoices {
    LineInterface lineInterface = LineInterface::Rs485;
    std::string portText = "COM1";  // the line of an RS-485 scan
    std::string baudText = "19200";  // USB always talks at 115200
    int first = 1;
    int last = 254;
    bool thorough = false;
    int turnaroundMs = static_cast<int>(kDefaultTurnaroundAllowance.count());
};

struct LineScanState {
    LineScanChoices choices;
    std::vector<InventoryEntry> found;
    bool running = false;
    int percent = 0;
    std::string progressText;  // "Address 12 of 254, about 6 s left"
    std::string status;        // "3 transmitters found", or why the scan stopped
};

// The column headings of the table and of the CSV file, and a found
// transmitter's cells (UTF-8).
std::vector<std::string> LineScanColumns();
std::vector<std::string> LineScanRow(const InventoryEntry& entry);
// One CSV line, CR LF included; cells with a comma, quote or line break are quoted.
std::string CsvLine(const std::vector<std::string>& cells);

struct LineScanServices {
    const CommSettings& comm;  // the program's: the scan starts from its interface and damaged-reply switch
    SerialPortFactory& ports;
    Prompter& prompter;
    FileChooser& files;
    WindowHost& host;
    InventoryClock clock;
};

class LineScanModel final : private InventoryObserver {
public:
    explicit LineScanModel(LineScanServices services);

    const LineScanState& state() const { return state_; }
    void setChoices(const LineScanChoices& choices) { state_.choices = choices; }
    // Walks the line with the choices made; the table fills as it goes.
    void scan();
    // Stops a running scan before its next probe.
    void cancel() { cancelRequested_ = true; }
    void exportCsv();
    // The row's transmitter, as the main window selects it.
    ListedTransmitter listed(std::size_t row) const;

private:
    void found(const InventoryEntry& entry) override;
    void progress(const InventoryProgress& progress) override;
    bool cancelled() const override { return cancelRequested_; }
    InventoryPlan plan() const;
    std::string baudText() const;

    LineScanServices s_;
    OwnedLinkContext link_;
    DeviceSession session_;
    LineInventory inventory_;
    LineScanState state_;
    bool cancelRequested_ = false;
};

}  // namespace corvel
