#include "ui/tools/measurement/trend_csv.h"

#include <QDateTime>
#include <charconv>
#include <cmath>

namespace corvel {
namespace {

constexpr const char* kLineEnd = "\r\n";

// A field as a spreadsheet reads it back: quoted when it holds a separator,
// a quote or a line break.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The shortest text that reads back as the same value, in the C locale.
std::string Number(float value) {
    if (!std::isfinite(value)) return std::string();
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
    return std::string(text, end);
}

struct Column {
    TrendQuantity quantity;
    const char* name;
};

std::vector<Column> ColumnsOf(bool p2Present) {
    std::vector<Column> columns{{TrendQuantity::P1, "P1"}};
    if (p2Present) columns.push_back({TrendQuantity::P2, "P2"});
    columns.push_back({TrendQuantity::Temperature, "Internal Temp."});
    return columns;
}

std::string Headings(const TrendModel& plot, const TrendPoint& point, const std::vector<Column>& columns) {
    std::string line = "Time";
    for (const Column& column : columns) {
        const std::string& unit = plot.unitName(column.quantity, point.unit[IndexOf(column.quantity)]);
        line += "," + Field(unit.empty() ? std::string(column.name) : std::string(column.name) + " (" + unit + ")");
    }
    return line + kLineEnd;
}

std::string Row(const TrendPoint& point, const std::vector<Column>& columns) {
    std::string line = IsoLocalTime(point.seconds);
    for (const Column& column : columns) {
        const std::optional<double> value = ValueOf(point, column.quantity);
        line += "," + (value ? Number(static_cast<float>(*value)) : std::string());
    }
    return line + kLineEnd;
}

}  // namespace

std::string IsoLocalTime(double seconds) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(seconds * 1000.0)));
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs).toStdString();
}

std::vector<std::string> TrendCsvLines(const TrendModel& plot, const PlottedTransmitter& transmitter,
                                       bool p2Present) {
    const TrendBuffer& points = plot.points();
    const std::vector<Column> columns = ColumnsOf(p2Present);
    std::vector<std::string> lines{"Serial number," + Field(transmitter.serialNumber) + kLineEnd,
                                   "Model," + Field(transmitter.model) + kLineEnd};
    lines.push_back("Start," + (points.size() > 0 ? IsoLocalTime(points.at(0).seconds) : std::string()) + kLineEnd);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TrendPoint& point = points.at(i);
        if (i == 0 || point.unit != points.at(i - 1).unit) lines.push_back(Headings(plot, point, columns));
        lines.push_back(Row(point, columns));
    }
    if (points.size() == 0) lines.push_back(Headings(plot, TrendPoint{}, columns));
    return lines;
}

}  // namespace corvel
