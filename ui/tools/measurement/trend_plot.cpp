#include "ui/tools/measurement/trend_plot.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>

#include "common/number_format.h"
#include "readings/readings_file.h"

namespace corvel {
namespace {

constexpr std::size_t kKeptPoints = 200000;
constexpr int kRepaintMilliseconds = 100;
constexpr int kDefaultWindowIndex = 1;  // 10 minutes

struct WindowChoice {
    const char* text;
    double seconds;
};
constexpr WindowChoice kWindows[] = {{"1 min", 60}, {"10 min", 600}, {"30 min", 1800}, {"60 min", 3600}};

QLineSeries* Series(const QString& name, QChart* chart) {
    auto* series = new QLineSeries(chart);
    series->setName(name);
    chart->addSeries(series);
    return series;
}

void Fill(QLineSeries* series, const std::vector<PlotPoint>& points) {
    QList<QPointF> shown;
    shown.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint& point : points) shown.append(QPointF(point.seconds, point.value));
    series->replace(shown);
}

// The axis range of the points, with a little room; a flat line gets a band around it.
void FitAxis(QValueAxis* axis, const std::vector<std::vector<PlotPoint>>& sets) {
    double low = 0.0;
    double high = 0.0;
    bool any = false;
    for (const auto& set : sets) {
        for (const PlotPoint& point : set) {
            low = any ? std::min(low, point.value) : point.value;
            high = any ? std::max(high, point.value) : point.value;
            any = true;
        }
    }
    if (!any) return;
    const double room = high > low ? (high - low) * 0.05 : std::max(1e-3, std::abs(high) * 0.01);
    axis->setRange(low - room, high + room);
}

std::string CsvNumber(double value) { return FormatFixed(value, 0, 6); }

}  // namespace

TrendPlot::TrendPlot(FileChooser& files, Prompter& prompter, QWidget* parent)
    : QWidget(parent), files_(files), prompter_(prompter), buffer_(kKeptPoints) {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(2, 2, 2, 2));
    p1_ = Series("P1", chart);
    p2_ = Series("P2", chart);
    temperature_ = Series("Internal Temp.", chart);
    time_ = new QValueAxis(chart);
    time_->setTitleText("Time (s)");
    time_->setLabelFormat("%.0f");
    pressureAxis_ = new QValueAxis(chart);
    temperatureAxis_ = new QValueAxis(chart);
    chart->addAxis(time_, Qt::AlignBottom);
    chart->addAxis(pressureAxis_, Qt::AlignLeft);
    chart->addAxis(temperatureAxis_, Qt::AlignRight);
    for (QLineSeries* series : {p1_, p2_, temperature_}) series->attachAxis(time_);
    p1_->attachAxis(pressureAxis_);
    p2_->attachAxis(pressureAxis_);
    temperature_->attachAxis(temperatureAxis_);
    time_->setRange(0, kWindows[kDefaultWindowIndex].seconds);

    view_ = new QChartView(chart, this);
    view_->setObjectName("trendChart");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(180);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(buildButtons());

    clock_.start();
    repaint_.setInterval(kRepaintMilliseconds);
    connect(&repaint_, &QTimer::timeout, this, &TrendPlot::redraw);
    repaint_.start();
}

QWidget* TrendPlot::buildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Show the last", row));
    window_ = new QComboBox(row);
    window_->setObjectName("trendWindow");
    for (const WindowChoice& choice : kWindows) window_->addItem(choice.text);
    window_->setCurrentIndex(kDefaultWindowIndex);
    connect(window_, &QComboBox::currentIndexChanged, this, [this] {
        dirty_ = true;
        redraw();
    });
    layout->addWidget(window_);
    layout->addStretch(1);
    pause_ = new QPushButton("Pause", row);
    pause_->setObjectName("trendPause");
    pause_->setAutoDefault(false);
    connect(pause_, &QPushButton::clicked, this, &TrendPlot::togglePause);
    auto* image = new QPushButton("Save image...", row);
    image->setObjectName("trendSaveImage");
    image->setAutoDefault(false);
    connect(image, &QPushButton::clicked, this, &TrendPlot::saveImage);
    auto* csv = new QPushButton("Export CSV...", row);
    csv->setObjectName("trendExportCsv");
    csv->setAutoDefault(false);
    connect(csv, &QPushButton::clicked, this, &TrendPlot::exportCsv);
    layout->addWidget(pause_);
    layout->addWidget(image);
    layout->addWidget(csv);
    return row;
}

void TrendPlot::setInputs(bool p2Present) {
    p2Present_ = p2Present;
    p2_->setVisible(p2Present);
}

void TrendPlot::setUnits(const QString& p1Unit, const QString& p2Unit, const QString& temperatureUnit) {
    QString pressure = p1Unit.trimmed();
    if (p2Present_ && p2Unit.trimmed() != pressure) pressure += " / " + p2Unit.trimmed();
    pressureAxis_->setTitleText(pressure);
    temperatureAxis_->setTitleText(temperatureUnit.trimmed());
}

void TrendPlot::add(float p1, std::optional<float> p2, float temperature) {
    if (!p2Present_) p2.reset();
    buffer_.append(TrendPoint{static_cast<double>(clock_.nsecsElapsed()) / 1e9, p1, p2, temperature});
    dirty_ = true;
}

double TrendPlot::windowSeconds() const { return kWindows[std::max(window_->currentIndex(), 0)].seconds; }

void TrendPlot::redraw() {
    if (!dirty_ || paused_ || buffer_.size() == 0) return;
    dirty_ = false;
    const double newest = buffer_.at(buffer_.size() - 1).seconds;
    const double to = std::max(newest, windowSeconds());
    const double from = to - windowSeconds();
    const auto columns = static_cast<std::size_t>(std::max(view_->chart()->plotArea().width(), 1.0));
    const auto p1 = buffer_.decimated(TrendQuantity::P1, from, to, columns);
    const auto p2 = buffer_.decimated(TrendQuantity::P2, from, to, columns);
    const auto temperature = buffer_.decimated(TrendQuantity::Temperature, from, to, columns);
    Fill(p1_, p1);
    Fill(p2_, p2);
    Fill(temperature_, temperature);
    time_->setRange(from, to);
    FitAxis(pressureAxis_, {p1, p2});
    FitAxis(temperatureAxis_, {temperature});
}

void TrendPlot::togglePause() {
    paused_ = !paused_;
    pause_->setText(paused_ ? "Resume" : "Pause");
    if (!paused_) {
        dirty_ = true;
        redraw();
    }
}

void TrendPlot::saveImage() {
    const auto path = files_.saveFile(FileChoice{"Save image", "PNG Images (*.png)|*.png||", "png", "trend.png"});
    if (!path) return;
    if (!view_->grab().save(QString::fromStdString(*path), "PNG")) {
        prompter_.error("The image could not be saved to " + *path + ".");
    }
}

void TrendPlot::exportCsv() {
    const auto path =
        files_.saveFile(FileChoice{"Export CSV", "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||", "csv", "trend.csv"});
    if (!path) return;
    std::vector<std::string> lines{p2Present_ ? "seconds,P1,P2,temperature\r\n" : "seconds,P1,temperature\r\n"};
    for (std::size_t i = 0; i < buffer_.size(); ++i) {
        const TrendPoint& point = buffer_.at(i);
        std::string line = CsvNumber(point.seconds) + "," + CsvNumber(point.p1);
        if (p2Present_) line += "," + (point.p2 ? CsvNumber(*point.p2) : std::string());
        lines.push_back(line + "," + CsvNumber(point.temperature) + "\r\n");
    }
    std::string reason;
    if (!WriteReadingsFile(*path, false, lines, reason)) {
        prompter_.error("The points could not be written to " + *path + ": " + reason);
    }
}

}  // namespace corvel
