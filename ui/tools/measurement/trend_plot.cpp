#include "ui/tools/measurement/trend_plot.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "readings/readings_file.h"
#include "ui/tools/measurement/trend_csv.h"

namespace corvel {
namespace {

// Two hours at the default sampling interval.
constexpr std::size_t kKeptPoints = 36000;
constexpr int kRepaintMilliseconds = 100;
constexpr int kDefaultWindowIndex = 1;    // 10 minutes
constexpr int kDefaultSamplingIndex = 1;  // 0.2 s
constexpr qreal kLineWidth = 1.5;

struct Choice {
    const char* text;
    double seconds;
};
constexpr Choice kWindows[] = {{"1 min", 60}, {"10 min", 600}, {"30 min", 1800}, {"60 min", 3600}};
constexpr Choice kSamplings[] = {{"0.1 s", 0.1}, {"0.2 s", 0.2}, {"0.5 s", 0.5}, {"1 s", 1}, {"5 s", 5}};

struct Look {
    const char* name;
    const char* shortName;  // on its axis, where room is scarce
    QColor colour;
};
const std::array<Look, kTrendQuantities> kLooks = {Look{"P1", "P1", QColor(31, 119, 180)},
                                                   Look{"P2", "P2", QColor(214, 39, 40)},
                                                   Look{"Internal Temp.", "Temp.", QColor(44, 140, 44)}};

const Look& LookOf(TrendQuantity quantity) { return kLooks[IndexOf(quantity)]; }

template <std::size_t N>
QStringList TextsOf(const Choice (&choices)[N]) {
    QStringList texts;
    for (const Choice& choice : choices) texts << choice.text;
    return texts;
}

double WallClockNow() {
    static const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    static QElapsedTimer elapsed = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    // The start's wall-clock time moved on by a steady clock, so that the
    // points stay in order when the system clock is set.
    return static_cast<double>(startMs) / 1000.0 + static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
}

QString AxisTitle(const TrendAxis& axis) {
    QStringList names;
    for (const TrendQuantity quantity : axis.quantities) names << LookOf(quantity).shortName;
    const QString unit = QString::fromStdString(axis.title);
    return unit.isEmpty() ? names.join(", ") : names.join(", ") + " (" + unit + ")";
}

void ShowAxis(QValueAxis* axis, const TrendAxis& layout) {
    axis->setTitleText(AxisTitle(layout));
    axis->setRange(layout.low, layout.high);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(layout.tickStep);
    axis->setLabelFormat(QString("%.%1f").arg(layout.decimals));
    const QColor colour = layout.quantities.size() == 1 ? LookOf(layout.quantities.front()).colour : QColor(Qt::black);
    axis->setLabelsColor(colour);
    axis->setTitleBrush(colour);
}

void ShowTimes(QDateTimeAxis* axis, std::pair<double, double> window) {
    axis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(window.first * 1000.0)),
                   QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(window.second * 1000.0)));
}

}  // namespace

TrendPlot::TrendPlot(FileChooser& files, Prompter& prompter, QWidget* parent)
    : QWidget(parent), files_(files), prompter_(prompter), model_(kKeptPoints), clock_(WallClockNow) {
    buildChart();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(buildButtons());
    // Until the first reading the time axis shows the window from now on.
    const double now = clock_();
    ShowTimes(time_, {now, now + windowSeconds()});

    repaint_.setInterval(kRepaintMilliseconds);
    connect(&repaint_, &QTimer::timeout, this, &TrendPlot::redraw);
    repaint_.start();
}

void TrendPlot::buildChart() {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(2, 2, 2, 2));
    time_ = new QDateTimeAxis(chart);
    time_->setFormat("hh:mm:ss");
    time_->setTickCount(6);
    chart->addAxis(time_, Qt::AlignBottom);
    for (QValueAxis*& axis : valueAxes_) {
        axis = new QValueAxis(chart);
        axis->setTickType(QValueAxis::TicksDynamic);
        chart->addAxis(axis, &axis == &valueAxes_.back() ? Qt::AlignRight : Qt::AlignLeft);
        axis->setVisible(false);
    }
    view_ = new QChartView(chart, this);
    view_->setObjectName("trendChart");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(150);
    for (const TrendQuantity quantity : kAllTrendQuantities) lineOf(quantity, 0);
}

QComboBox* TrendPlot::buildChoice(const char* name, const QStringList& texts, int current) {
    auto* choice = new QComboBox(this);
    choice->setObjectName(name);
    choice->addItems(texts);
    choice->setCurrentIndex(current);
    return choice;
}

QWidget* TrendPlot::buildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    window_ = buildChoice("trendWindow", TextsOf(kWindows), kDefaultWindowIndex);
    connect(window_, &QComboBox::currentIndexChanged, this, [this] {
        dirty_ = true;
        redraw();
    });
    sampling_ = buildChoice("trendSampling", TextsOf(kSamplings), kDefaultSamplingIndex);
    connect(sampling_, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.setSamplingInterval(kSamplings[std::max(index, 0)].seconds); });
    layout->addWidget(new QLabel("Show the last", row));
    layout->addWidget(window_);
    layout->addWidget(new QLabel("Sample every", row));
    layout->addWidget(sampling_);
    layout->addStretch(1);
    pause_ = new QPushButton("Pause", row);
    pause_->setObjectName("trendPause");
    connect(pause_, &QPushButton::clicked, this, &TrendPlot::togglePause);
    auto* image = new QPushButton("Save image...", row);
    image->setObjectName("trendSaveImage");
    connect(image, &QPushButton::clicked, this, &TrendPlot::saveImage);
    auto* csv = new QPushButton("Export CSV...", row);
    csv->setObjectName("trendExportCsv");
    connect(csv, &QPushButton::clicked, this, &TrendPlot::exportCsv);
    for (QPushButton* button : {pause_, image, csv}) {
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    return row;
}

// The `index`th line of `quantity`, made when first needed.
QLineSeries* TrendPlot::lineOf(TrendQuantity quantity, std::size_t index) {
    auto& lines = lines_[IndexOf(quantity)];
    while (lines.size() <= index) {
        auto* series = new QLineSeries(view_->chart());
        series->setName(LookOf(quantity).name);
        series->setPen(QPen(LookOf(quantity).colour, kLineWidth));
        view_->chart()->addSeries(series);
        series->attachAxis(time_);
        if (attached_[IndexOf(quantity)]) series->attachAxis(attached_[IndexOf(quantity)]);
        series->setVisible(model_.shown(quantity));
        if (lines.empty()) {
            QLegendMarker* marker = view_->chart()->legend()->markers(series).value(0);
            connect(marker, &QLegendMarker::clicked, this, [this, quantity] { toggle(quantity); });
        }
        lines.push_back(series);
        tidyLegend();
    }
    return lines[index];
}

// One legend entry a quantity, dimmed while its line is hidden; none for P2 when absent.
void TrendPlot::tidyLegend() {
    for (const TrendQuantity quantity : kAllTrendQuantities) {
        const auto& lines = lines_[IndexOf(quantity)];
        for (std::size_t i = 0; i < lines.size(); ++i) {
            QLegendMarker* marker = view_->chart()->legend()->markers(lines[i]).value(0);
            if (!marker) continue;
            marker->setVisible(i == 0 && (quantity != TrendQuantity::P2 || p2Present_));
            QColor label = palette().color(QPalette::WindowText);
            if (!model_.shown(quantity)) label.setAlpha(90);
            marker->setLabelBrush(label);
        }
    }
}

void TrendPlot::toggle(TrendQuantity quantity) {
    model_.setShown(quantity, !model_.shown(quantity));
    for (QLineSeries* series : lines_[IndexOf(quantity)]) series->setVisible(model_.shown(quantity));
    tidyLegend();
    dirty_ = true;
    redraw();
}

void TrendPlot::setInputs(bool p2Present) {
    if (p2Present == p2Present_) return;
    p2Present_ = p2Present;
    tidyLegend();
}

void TrendPlot::setUnits(const QString& p1Unit, const QString& p2Unit, const QString& temperatureUnit) {
    // The transmitter pads its unit names with blanks.
    model_.setUnit(TrendQuantity::P1, p1Unit.trimmed().toStdString());
    model_.setUnit(TrendQuantity::P2, p2Unit.trimmed().toStdString());
    model_.setUnit(TrendQuantity::Temperature, temperatureUnit.trimmed().toStdString());
}

void TrendPlot::setSensorRange(TrendQuantity input, double span, const QString& unit) {
    model_.setSensorRange(input, span, unit.trimmed().toStdString());
}

void TrendPlot::add(const TrendReading& reading) {
    TrendReading kept = reading;
    if (!p2Present_) kept.p2.reset();
    if (model_.offer(clock_(), kept)) dirty_ = true;
}

double TrendPlot::windowSeconds() const { return kWindows[std::max(window_->currentIndex(), 0)].seconds; }

void TrendPlot::attach(TrendQuantity quantity, QValueAxis* axis) {
    QValueAxis*& current = attached_[IndexOf(quantity)];
    if (current == axis) return;
    for (QLineSeries* series : lines_[IndexOf(quantity)]) {
        if (current) series->detachAxis(current);
        series->attachAxis(axis);
    }
    current = axis;
}

void TrendPlot::placeAxes(const std::vector<TrendAxis>& axes) {
    std::array<std::optional<TrendAxis>, 3> wanted;
    std::size_t left = 0;
    for (const TrendAxis& layout : axes) wanted[layout.right ? wanted.size() - 1 : left++] = layout;
    for (std::size_t i = 0; i < valueAxes_.size(); ++i) {
        // Each change of an axis lays the chart out anew: only what changed is set.
        if (wanted[i] == shownAxes_[i]) continue;
        shownAxes_[i] = wanted[i];
        valueAxes_[i]->setVisible(wanted[i].has_value());
        if (!wanted[i]) continue;
        ShowAxis(valueAxes_[i], *wanted[i]);
        for (const TrendQuantity quantity : wanted[i]->quantities) attach(quantity, valueAxes_[i]);
    }
}

void TrendPlot::showLines(TrendQuantity quantity, std::vector<PlotLine> lines) {
    const std::size_t count = std::max(lines.size(), lines_[IndexOf(quantity)].size());
    for (std::size_t i = 0; i < count; ++i) {
        QList<QPointF> shown;
        if (i < lines.size()) {
            shown.reserve(static_cast<qsizetype>(lines[i].size()));
            for (const PlotPoint& point : lines[i]) shown.append(QPointF(point.seconds * 1000.0, point.value));
        }
        lineOf(quantity, i)->replace(shown);
    }
}

void TrendPlot::redraw() {
    if (!dirty_ || paused_) return;
    const auto window = model_.timeWindow(windowSeconds());
    if (!window) return;
    dirty_ = false;
    placeAxes(model_.axes(*window));
    const auto columns = static_cast<std::size_t>(std::max(view_->chart()->plotArea().width(), 1.0));
    for (const TrendQuantity quantity : kAllTrendQuantities) {
        showLines(quantity, attached_[IndexOf(quantity)] ? model_.lines(quantity, *window, columns)
                                                         : std::vector<PlotLine>{});
    }
    ShowTimes(time_, *window);
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
    const PlottedTransmitter transmitter = identity_ ? identity_() : PlottedTransmitter{};
    std::string reason;
    if (!WriteReadingsFile(*path, false, TrendCsvLines(model_, transmitter, p2Present_), reason)) {
        prompter_.error("The points could not be written to " + *path + ": " + reason);
    }
}

}  // namespace corvel
