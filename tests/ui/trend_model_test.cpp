// The trend plot's rules without widgets: the axes (one a quantity, minimum
// spans, lanes that keep the lines apart), where lines break, the sampling
// interval, and the exported CSV file under a German locale.
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <ctime>

#include "ui/tools/measurement/trend_csv.h"
#include "ui/tools/measurement/trend_model.h"

using namespace corvel;

namespace {

constexpr std::pair<double, double> kWholeMinute{1000.0, 1060.0};

// A model fed with readings every 0.2 s for a minute, around these values.
struct Fed {
    TrendModel model{1000};
    Fed(const std::string& p1Unit, const std::string& p2Unit, float p1, std::optional<float> p2, float temperature) {
        model.setUnit(TrendQuantity::P1, p1Unit);
        model.setUnit(TrendQuantity::P2, p2Unit);
        model.setUnit(TrendQuantity::Temperature, "\u00B0C");
        for (int i = 0; i < 300; ++i) {
            const float wobble = (i % 2 == 0 ? 1.0f : -1.0f) * 0.01f;
            model.offer(1000.0 + i * 0.2, TrendReading{p1 + wobble, p2 ? std::optional(*p2 + wobble) : std::nullopt,
                                                       temperature + wobble});
        }
    }
};

const TrendAxis* AxisOf(const std::vector<TrendAxis>& axes, TrendQuantity quantity) {
    for (const TrendAxis& axis : axes) {
        if (std::find(axis.quantities.begin(), axis.quantities.end(), quantity) != axis.quantities.end()) return &axis;
    }
    return nullptr;
}

// Where a quantity's values lie on its axis, as shares of the plot's height (0 bottom, 1 top).
std::pair<double, double> Band(const TrendAxis& axis, double low, double high) {
    const double span = axis.high - axis.low;
    return {(low - axis.low) / span, (high - axis.low) / span};
}

}  // namespace

class TrendModelTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachQuantityHasItsAxisAndLaneWithAMinimumSpan() {
        struct Row {
            const char* name;
            const char* p2Unit;
            float p2;
            std::size_t axes;
            bool pressuresShare;
        };
        const Row rows[] = {
            {"same unit, like values: one pressure axis", "PSI", 14.8f, 2, true},
            {"same unit, five times larger: apart", "PSI", 73.5f, 3, false},
            {"other unit: apart", "kPa", 14.8f, 3, false},
        };
        for (const Row& row : rows) {
            Fed fed("PSI", row.p2Unit, 14.7f, row.p2, 21.5f);
            fed.model.setSensorRange(TrendQuantity::P1, 100.0, "PSI");
            const auto axes = fed.model.axes(kWholeMinute);
            QVERIFY2(axes.size() == row.axes, row.name);
            const TrendAxis* p1 = AxisOf(axes, TrendQuantity::P1);
            const TrendAxis* temperature = AxisOf(axes, TrendQuantity::Temperature);
            QVERIFY2((p1 == AxisOf(axes, TrendQuantity::P2)) == row.pressuresShare, row.name);
            QVERIFY2(!p1->right && temperature->right && temperature->title == "\u00B0C", row.name);
            // The noise of 0.02 stays a line: each axis spans its minimum (1 % of 100 PSI, 1 degree) a lane.
            const double lanes = static_cast<double>(row.axes);
            QVERIFY2((p1->high - p1->low) / lanes >= 1.0 && (p1->high - p1->low) / lanes < 1.5, row.name);
            QVERIFY2((temperature->high - temperature->low) / lanes >= 1.0, row.name);
            // The lines lie in bands of their own, P1 above the temperature.
            const auto p1Band = Band(*p1, 14.69, 14.71);
            const auto temperatureBand = Band(*temperature, 21.49, 21.51);
            QVERIFY2(p1Band.first > temperatureBand.second, row.name);
            QVERIFY2(p1Band.second <= 1.0 && temperatureBand.first >= 0.0, row.name);
        }
    }

    void aHiddenQuantityGivesUpItsAxis() {
        Fed fed("PSI", "PSI", 14.7f, 73.5f, 21.5f);
        fed.model.setShown(TrendQuantity::P2, false);
        const auto axes = fed.model.axes(kWholeMinute);
        QCOMPARE(axes.size(), std::size_t{2});
        QVERIFY(!AxisOf(axes, TrendQuantity::P2));
    }

    void aGapOrAFailedReadingBreaksTheLine() {
        struct Row {
            const char* name;
            double pause;      // seconds without readings after the fifth
            bool failed;       // a failed reading after the fifth
            std::size_t lines;
        };
        const Row rows[] = {
            {"readings every 0.2 s", 0.2, false, 1},
            {"the loop stopped for 5 s", 5.0, false, 2},
            {"a failed reading", 0.2, true, 2},
        };
        for (const Row& row : rows) {
            TrendModel model(100);
            double now = 1000.0;
            for (int i = 0; i < 10; ++i) {
                if (i == 5) {
                    now += row.pause - 0.2;
                    if (row.failed) model.breakLine();
                }
                model.offer(now, TrendReading{1.0f, std::nullopt, 20.0f});
                now += 0.2;
            }
            QVERIFY2(model.lines(TrendQuantity::P1, {1000.0, 1010.0}, 100).size() == row.lines, row.name);
        }
    }

    void aUnitChangeStartsANewLineAndTheAxisNamesOnlyTheNewUnit() {
        TrendModel model(100);
        model.setUnit(TrendQuantity::P1, "PSI");
        for (int i = 0; i < 5; ++i) model.offer(1000.0 + i * 0.2, TrendReading{14.7f, std::nullopt, 20.0f});
        model.setUnit(TrendQuantity::P1, "kPa");
        for (int i = 5; i < 10; ++i) model.offer(1000.0 + i * 0.2, TrendReading{101.3f, std::nullopt, 20.0f});
        const auto lines = model.lines(TrendQuantity::P1, {1000.0, 1010.0}, 100);
        QCOMPARE(lines.size(), std::size_t{1});
        QCOMPARE(lines.front().front().value, double{101.3f});
        const TrendAxis* p1 = AxisOf(model.axes({1000.0, 1010.0}), TrendQuantity::P1);
        QCOMPARE(p1->title, std::string("kPa"));
        QVERIFY(p1->low > 50.0);  // the PSI values are not on the kPa axis
        QCOMPARE(model.lines(TrendQuantity::Temperature, {1000.0, 1010.0}, 100).size(), std::size_t{1});
    }

    void theSamplingIntervalNotTheLoopSetsThePace() {
        TrendModel model(1000);
        for (int i = 0; i <= 100; ++i) model.offer(1000.0 + i * 0.01, TrendReading{1.0f, std::nullopt, 20.0f});
        QCOMPARE(model.points().size(), std::size_t{6});  // 0, 0.2, ... 1.0 s
        model.setSamplingInterval(1.0);
        for (int i = 1; i <= 300; ++i) model.offer(1001.0 + i * 0.01, TrendReading{1.0f, std::nullopt, 20.0f});
        QCOMPARE(model.points().size(), std::size_t{9});
    }

    void theCsvNamesTheTransmitterUnitsAndTimesInTheCLocale() {
        TrendModel model(100);
        model.setUnit(TrendQuantity::P1, "PSI");
        model.setUnit(TrendQuantity::P2, "PSI");
        model.setUnit(TrendQuantity::Temperature, "\u00B0C");
        model.offer(1796745600.2, TrendReading{14.5f, 2.25f, 21.5f});
        model.setUnit(TrendQuantity::P1, "kPa");
        model.offer(1796745600.4, TrendReading{100.25f, std::nullopt, 21.5f});
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) QSKIP("de_DE.UTF-8 not available");
        const auto lines = TrendCsvLines(model, PlottedTransmitter{"12345678", "T4400, dual"}, true);
        std::setlocale(LC_ALL, "C");
        const std::vector<std::string> expected = {
            "Serial number,12345678\r\n",
            "Model,\"T4400, dual\"\r\n",
            "Start,2026-12-08T17:00:00.200+01:00\r\n",
            "Time,P1 (PSI),P2 (PSI),Internal Temp. (\u00B0C)\r\n",
            "2026-12-08T17:00:00.200+01:00,14.5,2.25,21.5\r\n",
            "Time,P1 (kPa),P2 (PSI),Internal Temp. (\u00B0C)\r\n",
            "2026-12-08T17:00:00.400+01:00,100.25,,21.5\r\n",
        };
        QCOMPARE(lines, expected);
    }
};

QTEST_GUILESS_MAIN(TrendModelTest)
#include "trend_model_test.moc"
