#pragma once
// The live trend plot of the Configuration window: P1, P2 (when present) and
// the internal temperature against time while reading or collecting. P1 and
// P2 share the left axis in the transmitter's unit names, the temperature has
// the right axis. A rolling window (10 minutes unless chosen otherwise), pause
// and resume, "Save image..." (PNG) and "Export CSV..." of the points kept.
//
// Adding a reading costs constant time: points go into a ring buffer, and the
// chart is redrawn at most ten times a second from at most two points per
// pixel column.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "ui/support/file_chooser.h"
#include "ui/support/prompter.h"
#include "ui/tools/measurement/trend_buffer.h"

class QChart;
class QChartView;
class QComboBox;
class QLineSeries;
class QPushButton;
class QValueAxis;

namespace corvel {

class TrendPlot final : public QWidget {
    Q_OBJECT
public:
    TrendPlot(FileChooser& files, Prompter& prompter, QWidget* parent = nullptr);

    void setInputs(bool p2Present);
    void setUnits(const QString& p1Unit, const QString& p2Unit, const QString& temperatureUnit);
    void add(float p1, std::optional<float> p2, float temperature);

    const TrendBuffer& points() const { return buffer_; }
    bool paused() const { return paused_; }
    // Draws what changed since the last drawing (called by the timer).
    void redraw();

private:
    QWidget* buildButtons();
    void togglePause();
    void saveImage();
    void exportCsv();
    double windowSeconds() const;

    FileChooser& files_;
    Prompter& prompter_;
    TrendBuffer buffer_;
    QElapsedTimer clock_;
    QTimer repaint_;
    bool dirty_ = false;
    bool paused_ = false;
    bool p2Present_ = true;

    QChartView* view_ = nullptr;
    QLineSeries* p1_ = nullptr;
    QLineSeries* p2_ = nullptr;
    QLineSeries* temperature_ = nullptr;
    QValueAxis* time_ = nullptr;
    QValueAxis* pressureAxis_ = nullptr;
    QValueAxis* temperatureAxis_ = nullptr;
    QComboBox* window_ = nullptr;
    QPushButton* pause_ = nullptr;
};

}  // namespace corvel
