#include "tests/ui/ui_test_rig.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <optional>

#include "sim/device_config.h"
#include "app/startup.h"

namespace corvel::testing {
namespace {

class RecordingPort final : public SerialPort {
public:
    RecordingPort(std::unique_ptr<SerialPort> inner, RecordingPortFactory& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    bool open(const std::string& name) override {
        owner_.openedNames.push_back(name);
        return inner_->open(name);
    }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        owner_.baudRates.push_back(line.baudRate);
        return inner_->configure(queueSize, line, timeouts);
    }
    bool write(ByteSpan bytes, std::size_t& written) override {
        replyLost_ = owner_.loseReplyTo && owner_.loseReplyTo(bytes);
        return inner_->write(bytes, written);
    }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
        const bool read = inner_->read(buffer, received, complete);
        if (replyLost_) received = 0;
        return read;
    }
    void pause(std::chrono::milliseconds duration) override { inner_->pause(duration); }
    void close() override { inner_->close(); }
    PortError lastError() const override { return inner_->lastError(); }

private:
    std::unique_ptr<SerialPort> inner_;
    RecordingPortFactory& owner_;
    bool replyLost_ = false;
};

constexpr int kModalPollTurns = 100000;

void PollForModal(std::function<void(QWidget*)> action, int turnsLeft) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal) {
        action(modal);
        return;
    }
    if (turnsLeft == 0) {
        qWarning("no modal window opened");
        return;
    }
    QTimer::singleShot(0, [action = std::move(action), turnsLeft] { PollForModal(action, turnsLeft - 1); });
}

template <typename T>
T* Child(QWidget* window, const char* objectName) {
    T* child = window->findChild<T*>(objectName);
    if (!child) qFatal("no child named %s", objectName);
    return child;
}

struct Caption {
    QString text;
    int neededWidth = 0;
};

// The text and icon of a push button with the style's frame and margin around
// them; unlike its size hint, without the style's smallest button width.
int PushButtonWidth(const QPushButton* button) {
    const QStyle* style = button->style();
    int width = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() +
                style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    if (!button->icon().isNull()) width += button->iconSize().width() + 4;
    return width;
}

std::optional<Caption> CaptionOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && !label->text().isEmpty())
        return Caption{label->text(), label->minimumSizeHint().width()};
    if (const auto* button = qobject_cast<const QPushButton*>(widget); button && !button->text().isEmpty())
        return Caption{button->text(), PushButtonWidth(button)};
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget); button && !button->text().isEmpty())
        return Caption{button->text(), button->sizeHint().width()};
    if (const auto* box = qobject_cast<const QGroupBox*>(widget); box && !box->title().isEmpty())
        return Caption{box->title(), box->minimumSizeHint().width()};
    return std::nullopt;
}

// A desktop keeps this much of the screen's height for its panel and the
// window's title bar, scaled as the window is.
constexpr int kPanelAndTitleBarHeight = 48;

QSize UsableScreen(const QWidget* window) {
    return window->screen()->availableGeometry().size() - QSize(0, kPanelAndTitleBarHeight);
}

// Inside the viewport of a list, text or scroll area below `window`: reached by scrolling.
bool Scrolled(const QWidget* widget, const QWidget* window) {
    for (const QWidget* part = widget; part && part != window; part = part->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(part->parentWidget());
        if (area && area->viewport() == part) return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<SerialPort> RecordingPortFactory::create() {
    ++created;
    return std::make_unique<RecordingPort>(inner_.create(), *this);
}

std::optional<Rs232ConnectValues> ScriptedConnectDialogs::askRs232(const Rs232ConnectValues& previous) {
    rs232Given.push_back(previous);
    if (rs232Answers.empty()) return std::nullopt;
    auto answer = rs232Answers.front();
    rs232Answers.pop_front();
    return answer;
}

std::optional<Rs485ConnectValues> ScriptedConnectDialogs::askRs485(const Rs485ConnectValues& previous) {
    rs485Given.push_back(previous);
    if (rs485Answers.empty()) return std::nullopt;
    auto answer = rs485Answers.front();
    rs485Answers.pop_front();
    return answer;
}

UiRig::UiRig() {
    // A test that keeps asking unscripted questions fails here instead of hanging.
    prompter.onStuck([](const Message& question) {
        const std::string what = "unscripted questions keep coming, the last: " + question.text;
        QTest::qFail(what.c_str(), __FILE__, __LINE__);
    });
}

namespace {

sim::DeviceConfig Preset(const std::string& model) {
    const auto config = sim::ModelConfig(model);
    if (!config) qFatal("no simulator preset for %s", model.c_str());
    return *config;
}

}  // namespace

sim::SimDevice& UiRig::attach(int port, const std::string& model) { return attach(port, Preset(model)); }

sim::SimDevice& UiRig::attach(int port, sim::DeviceConfig config) { return bus.attach(port, std::move(config)); }

UiContext UiRig::context() {
    return UiContext{comm, store, ports, shared, prompter, launcher, tools, connectDialogs, files};
}

ToolContext UiRig::toolContext() { return ToolContext{comm, store, ports, shared, prompter, files, tools}; }

sim::SimDevice& UiRig::findDevice(int port, const std::string& model) { return findDevice(port, Preset(model)); }

sim::SimDevice& UiRig::findDevice(int port, sim::DeviceConfig config) {
    sim::SimDevice& device = attach(port, std::move(config));
    auto window = openWindow();
    Click(window.get(), "usbRadio");
    prompter.answer({MessageAnswer::Yes});
    Click(window.get(), "findDeviceButton");
    if (!Enabled(window.get(), "deviceInfoButton")) {
        qFatal("the %s on COM%d was not found", device.config().modelCode.c_str(), port);
    }
    prompter.clear();
    return device;
}

std::unique_ptr<CT4400PCDialog> UiRig::openWindow() {
    RestoreCommSettings(comm, store);
    auto window = std::make_unique<CT4400PCDialog>(context());
    window->show();
    return window;
}

void Click(QWidget* window, const char* objectName) {
    QTest::mouseClick(Child<QAbstractButton>(window, objectName), Qt::LeftButton);
}

void WhenModalOpens(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] { PollForModal(action, kModalPollTurns); });
}

bool Enabled(QWidget* window, const char* objectName) { return Child<QWidget>(window, objectName)->isEnabled(); }

bool Shown(QWidget* window, const char* objectName) { return Child<QWidget>(window, objectName)->isVisible(); }

QString CutCaptions(QWidget* window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QStringList cut;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        const std::optional<Caption> caption = CaptionOf(widget);
        if (!caption || !widget->isVisible() || widget->width() >= caption->neededWidth) continue;
        cut << QString("\"%1\" (%2) is %3 wide and needs %4")
                   .arg(caption->text, widget->objectName())
                   .arg(widget->width())
                   .arg(caption->neededWidth);
    }
    return cut.join('\n');
}

QString MisleadingFields(QWidget* window) {
    const QColor editableGround = QLineEdit().palette().color(QPalette::Base);
    QStringList misleading;
    for (const QLineEdit* field : window->findChildren<QLineEdit*>()) {
        if (!field->isVisible() || !field->isEnabled()) continue;
        if (field->isReadOnly() && field->palette().color(QPalette::Base) == editableGround) {
            misleading << field->objectName() + " is read-only but looks editable";
        }
        bool number = false;
        field->text().trimmed().toDouble(&number);
        if (number && !(field->alignment() & Qt::AlignRight)) {
            misleading << field->objectName() + " holds a number not aligned right";
        }
    }
    return misleading.join('\n');
}

QString BeyondTheScreen(QWidget* window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QStringList beyond;
    const QSize room = UsableScreen(window);
    if (window->width() > room.width() || window->height() > room.height()) {
        beyond << QString("the window is %1x%2, the screen has room for %3x%4")
                      .arg(window->width())
                      .arg(window->height())
                      .arg(room.width())
                      .arg(room.height());
    }
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || Scrolled(widget, window)) continue;
        const QString name = QString("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
        if (widget->height() < widget->minimumSizeHint().height()) {
            beyond << QString("%1 is squeezed to %2 high and needs %3")
                          .arg(name)
                          .arg(widget->height())
                          .arg(widget->minimumSizeHint().height());
        }
        const QRect place(widget->mapTo(window, QPoint(0, 0)), widget->size());
        if (!window->rect().contains(place)) {
            beyond << QString("%1 reaches %2,%3, beyond the window").arg(name).arg(place.right()).arg(place.bottom());
        }
    }
    return beyond.join('\n');
}

}  // namespace corvel::testing
