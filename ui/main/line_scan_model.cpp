#include "ui/main/line_scan_model.h"

#include "link/port_names.h"
#include "link/windows1252.h"
#include "readings/readings_file.h"

namespace corvel {
namespace {

// "GI 0-100" of "P1:  GI" with its range limits; empty for an input not read.
std::string SensorCell(const SensorInfo& sensor) {
    if (sensor.label.empty()) return {};
    const std::string kind = sensor.label.substr(sensor.label.rfind(' ') + 1);
    return Windows1252ToUtf8(kind + " " + sensor.lowerLimitText + "-" + sensor.upperLimitText);
}

std::string Quoted(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (const char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::vector<std::string> LineScanColumns() {
    return {"Port", "Address", "Model", "Model name", "Serial number", "Version", "Tag", "P1", "P2"};
}

std::vector<std::string> LineScanRow(const InventoryEntry& entry) {
    return {PortDisplayNameOf(entry.portName),
            std::to_string(entry.networkAddress),
            Windows1252ToUtf8(entry.modelCode),
            Windows1252ToUtf8(entry.modelName),
            Windows1252ToUtf8(entry.serialNumber),
            Windows1252ToUtf8(entry.firmwareVersion),
            Windows1252ToUtf8(entry.tag),
            SensorCell(entry.p1),
            entry.p2Present ? SensorCell(entry.p2) : std::string()};
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i > 0 ? "," : "") + Quoted(cells[i]);
    return line + "\r\n";
}

LineScanModel::LineScanModel(LineScanServices services)
    : s_(std::move(services)), session_(link_.with(s_.ports)), inventory_(session_, s_.clock) {
    state_.choices.lineInterface = s_.comm.lineInterface;
    if (s_.comm.lineInterface == LineInterface::Rs232) state_.choices.baudText = "9600";
}

void LineScanModel::scan() {
    if (state_.choices.first > state_.choices.last) {
        state_.status = kEmptyRangeText;
        return;
    }
    link_.comm.acceptDamagedReplies = s_.comm.acceptDamagedReplies;
    cancelRequested_ = false;
    state_.found.clear();
    state_.running = true;
    state_.percent = 0;
    state_.status = "Scanning...";
    s_.host.showValues();
    inventory_.run(plan(), *this);
    state_.running = false;
    state_.progressText.clear();
    state_.status = Plural(state_.found.size(), "transmitter found", "transmitters found");
    if (inventory_.cancelled()) state_.status += ", scan cancelled";
    s_.host.showValues();
}

InventoryPlan LineScanModel::plan() const {
    const LineScanChoices& choices = state_.choices;
    InventoryPlan plan;
    plan.baudRate = ParseBaudText(baudText());
    plan.thorough = choices.thorough;
    plan.turnaroundAllowance = std::chrono::milliseconds(choices.turnaroundMs);
    if (choices.lineInterface == LineInterface::Rs485) {
        plan.walk = InventoryWalk::Addresses;
        plan.portName = choices.portText;
        plan.first = choices.first;
        plan.last = choices.last;
    } else {
        plan.walk = InventoryWalk::Ports;
        plan.first = kFirstPort;
        plan.last = kLastPort;
    }
    return plan;
}

std::string LineScanModel::baudText() const {
    return state_.choices.lineInterface == LineInterface::Usb ? "115200" : state_.choices.baudText;
}

void LineScanModel::found(const InventoryEntry& entry) {
    state_.found.push_back(entry);
    s_.host.showValues();
}

// Between two probes the window handles its events, Cancel among them.
void LineScanModel::progress(const InventoryProgress& progress) {
    const int total = progress.done + progress.left;
    const char* what = state_.choices.lineInterface == LineInterface::Rs485 ? "Address " : "Port ";
    state_.percent = total > 0 ? progress.done * 100 / total : 100;
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(progress.timeLeft).count();
    state_.progressText = what + std::to_string(progress.done) + " of " + std::to_string(total) + ", about " +
                          std::to_string(seconds) + " s left";
    s_.host.showValues();
    s_.host.processEvents();
}

void LineScanModel::exportCsv() {
    const auto path = s_.files.saveFile(FileChoice{"Export CSV", kInventoryFileFilter, "csv", "line-inventory.csv"});
    if (!path) return;
    std::vector<std::string> lines{CsvLine(LineScanColumns())};
    for (const InventoryEntry& entry : state_.found) lines.push_back(CsvLine(LineScanRow(entry)));
    std::string reason;
    if (!WriteReadingsFile(*path, false, lines, reason))
        s_.prompter.error("The list could not be written to " + *path + ": " + reason);
}

ListedTransmitter LineScanModel::listed(std::size_t row) const {
    const InventoryEntry& entry = state_.found.at(row);
    const LineInterface line = state_.choices.lineInterface;
    // An RS-485 line is named by its port text, as the connect dialog names it.
    const std::string port = line == LineInterface::Rs485 ? state_.choices.portText : entry.portName;
    return ListedTransmitter{line, port, baudText(), entry.networkAddress};
}

}  // namespace corvel
