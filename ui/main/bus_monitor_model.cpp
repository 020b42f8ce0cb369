#include "ui/main/bus_monitor_model.h"

#include <QDateTime>

#include "common/number_format.h"
#include "link/frame_decoder.h"
#include "link/port_names.h"

namespace corvel {
namespace {

constexpr int kRowsPerExchange = 2;  // the request, then the reply

const char* const kHeadings[BusMonitorModel::ColumnCount] = {"Time",  "Port",        "Dir",    "Command",
                                                             "Check", "Reply after", "Status", "Frame"};

std::string ClockText(std::chrono::system_clock::time_point at) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms).toString("HH:mm:ss.zzz").toStdString();
}

std::string RequestCell(const ExchangeRecord& record, int column) {
    switch (column) {
        case BusMonitorModel::Direction: return "Out";
        case BusMonitorModel::Frame: return HexBytes(record.request());
        case BusMonitorModel::Command: {
            const std::string summary = RequestSummary(record.request());
            return record.repeat == 0 ? summary : summary + " (repeat " + std::to_string(record.repeat) + ")";
        }
        default: return "";
    }
}

std::string ReplyCell(const ExchangeRecord& record, int column) {
    switch (column) {
        case BusMonitorModel::Direction: return "In";
        case BusMonitorModel::Frame: return HexBytes(record.reply());
        case BusMonitorModel::Status: return ReplyStatusText(record.reply());
        case BusMonitorModel::Check: return ReplyCheckText(!record.timedOut(), record.check);
        case BusMonitorModel::ReplyTime:
            return record.timedOut() ? "" : FormatFixed(static_cast<double>(record.roundTrip.count()) / 1000.0, 0, 1) +
                                                " ms";
        default: return "";
    }
}

}  // namespace

int BusMonitorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size()) * kRowsPerExchange;
}

int BusMonitorModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

std::string BusMonitorModel::cellText(int row, int column) const {
    const ExchangeRecord* record = log_.find(shown_[static_cast<std::size_t>(row / kRowsPerExchange)]);
    if (record == nullptr) return "";
    const bool request = row % kRowsPerExchange == 0;
    if (column == Time) return ClockText(request ? record->sentAt : record->sentAt + record->roundTrip);
    if (column == Port) return PortDisplayNameOf(record->port) + " " + std::to_string(record->baudRate);
    return request ? RequestCell(*record, column) : ReplyCell(*record, column);
}

QVariant BusMonitorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return QString::fromStdString(cellText(index.row(), index.column()));
}

QVariant BusMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
    return QString(kHeadings[section]);
}

void BusMonitorModel::refresh() {
    if (paused_) return;
    std::size_t gone = 0;
    while (gone < shown_.size() && shown_[gone] < log_.firstSequence()) ++gone;
    if (gone > 0) {
        beginRemoveRows({}, 0, static_cast<int>(gone) * kRowsPerExchange - 1);
        shown_.erase(shown_.begin(), shown_.begin() + static_cast<std::ptrdiff_t>(gone));
        endRemoveRows();
    }
    std::vector<std::uint64_t> added;
    for (std::uint64_t sequence = std::max(taken_, log_.firstSequence()); sequence < log_.endSequence(); ++sequence)
        if (shows(*log_.find(sequence))) added.push_back(sequence);
    taken_ = log_.endSequence();
    if (added.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(added.size()) * kRowsPerExchange - 1);
    shown_.insert(shown_.end(), added.begin(), added.end());
    endInsertRows();
}

void BusMonitorModel::setPaused(bool paused) {
    paused_ = paused;
    refresh();
}

void BusMonitorModel::setFailuresOnly(bool failuresOnly) {
    failuresOnly_ = failuresOnly;
    rebuild();
}

void BusMonitorModel::clear() {
    log_.clear();
    rebuild();
}

// Every exchange the log keeps, filtered afresh.
void BusMonitorModel::rebuild() {
    beginResetModel();
    shown_.clear();
    taken_ = log_.firstSequence();
    endResetModel();
    const bool wasPaused = std::exchange(paused_, false);
    refresh();
    paused_ = wasPaused;
}

std::string BusMonitorModel::countersText() const {
    const ExchangeCounters& c = log_.counters();
    return "Exchanges: " + std::to_string(c.exchanges) + "   Replies: " + std::to_string(c.replies) +
           "   Time-outs: " + std::to_string(c.timeOuts) + "   Damaged replies: " + std::to_string(c.damagedReplies) +
           "   Automatic repeats: " + std::to_string(c.automaticRepeats);
}

std::vector<std::string> BusMonitorModel::textLines() const {
    std::vector<std::string> lines;
    std::string heading;
    for (int column = 0; column < ColumnCount; ++column) heading += (column ? "\t" : "") + std::string(kHeadings[column]);
    lines.push_back(heading + "\r\n");
    for (int row = 0; row < rowCount(); ++row) {
        std::string line;
        for (int column = 0; column < ColumnCount; ++column) line += (column ? "\t" : "") + cellText(row, column);
        lines.push_back(line + "\r\n");
    }
    return lines;
}

}  // namespace corvel
