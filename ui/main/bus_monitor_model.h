#pragma once
// The bus monitor's table: two rows for each exchange kept in the exchange
// log, the request going out and the reply coming in (or its absence). The
// rows follow the log when refreshed, a few times a second, not at every
// exchange; a paused table stays as it is while the log goes on.

#include <QAbstractTableModel>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/exchange_log.h"

namespace corvel {

class BusMonitorModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The short columns first, so that they stay in view; the frame, the widest, last.
    enum Column { Time, Port, Direction, Command, Check, ReplyTime, Status, Frame, ColumnCount };

    explicit BusMonitorModel(ExchangeLog& log, QObject* parent = nullptr) : QAbstractTableModel(parent), log_(log) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes in what the log holds now: drops the rows of exchanges it no
    // longer keeps and adds the new ones. Nothing happens while paused.
    void refresh();
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // Only the exchanges that failed: time-outs, damaged replies, the "no
    // device here" answer and statuses other than "Good".
    void setFailuresOnly(bool failuresOnly);
    // Empties the log, its counters and the table.
    void clear();

    // "Exchanges: 12   Replies: 11   Time-outs: 1   Damaged replies: 0   Automatic repeats: 0"
    std::string countersText() const;
    // The rows shown, as lines of tab-separated cells under a heading line, CR LF ended.
    std::vector<std::string> textLines() const;
    // The text of one cell.
    std::string cellText(int row, int column) const;

private:
    bool shows(const ExchangeRecord& record) const { return !failuresOnly_ || record.failed(); }
    void rebuild();

    ExchangeLog& log_;
    std::deque<std::uint64_t> shown_;  // sequence numbers of the exchanges in the table
    std::uint64_t taken_ = 0;          // the log's sequence numbers below this have been looked at
    bool paused_ = false;
    bool failuresOnly_ = false;
};

}  // namespace corvel
