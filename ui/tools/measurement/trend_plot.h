#pragma once
// The live trend plot of the Configuration window: P1, P2 (when present) and
// the internal temperature against the wall-clock time while reading or
// collecting, as lines on value axes laid out by its TrendModel. A click on a
// legend entry hides or shows that line. A rolling window (10 minutes unless
// chosen otherwise), a sampling interval (0.2 s unless chosen otherwise),
// pause and resume, "Save image..." (PNG) and "Export CSV..." of the points
// kept.
//
// Adding a reading costs constant time: points go into a ring buffer, and the
// chart is redrawn at most ten times a second from at most two points per
// pixel column.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "ui/support/file_chooser.h"
#include "ui/support/prompter.h"
#include "ui/tools/measurement/measurement_model.h"
#include "ui/tools/measurement/trend_model.h"

class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLineSeries;
class QPushButton;
class QValueAxis;

namespace corvel {

class TrendPlot final : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<double()>;  // wall-clock seconds since 1970-01-01 UTC
    using IdentitySource = std::function<PlottedTransmitter()>;

    TrendPlot(FileChooser& files, Prompter& prompter, QWidget* parent = nullptr);

    // Tests replace the real clock here.
    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setIdentitySource(IdentitySource source) { identity_ = std::move(source); }
    void setInputs(bool p2Present);
    void setUnits(const QString& p1Unit, const QString& p2Unit, const QString& temperatureUnit);
    void setSensorRange(TrendQuantity input, double span, const QString& unit);
    void add(const TrendReading& reading);
    void breakLine() { model_.breakLine(); }

    const TrendModel& model() const { return model_; }
    bool paused() const { return paused_; }
    // Hides or shows one quantity's line, as a click on its legend entry does.
    void toggle(TrendQuantity quantity);
    // Draws what changed since the last drawing (called by the timer).
    void redraw();

private:
    QWidget* buildButtons();
    QComboBox* buildChoice(const char* name, const QStringList& texts, int current);
    void buildChart();
    QLineSeries* lineOf(TrendQuantity quantity, std::size_t index);
    void placeAxes(const std::vector<TrendAxis>& axes);
    void attach(TrendQuantity quantity, QValueAxis* axis);
    void showLines(TrendQuantity quantity, std::vector<PlotLine> lines);
    void tidyLegend();
    void togglePause();
    void saveImage();
    void exportCsv();
    double windowSeconds() const;

    FileChooser& files_;
    Prompter& prompter_;
    TrendModel model_;
    Clock clock_;
    IdentitySource identity_;
    QTimer repaint_;
    bool dirty_ = false;
    bool paused_ = false;
    bool p2Present_ = true;

    QChartView* view_ = nullptr;
    QDateTimeAxis* time_ = nullptr;
    // Two axes on the left (P1 and P2 apart, or both on the first), the temperature's on the right.
    std::array<QValueAxis*, 3> valueAxes_{};
    std::array<std::optional<TrendAxis>, 3> shownAxes_;
    // Each quantity's lines, one series a line; only the first has a legend entry.
    std::array<std::vector<QLineSeries*>, kTrendQuantities> lines_;
    std::array<QValueAxis*, kTrendQuantities> attached_{};
    QComboBox* window_ = nullptr;
    QComboBox* sampling_ = nullptr;
    QPushButton* pause_ = nullptr;
};

}  // namespace corvel
