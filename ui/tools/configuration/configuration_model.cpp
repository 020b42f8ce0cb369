#include "ui/tools/configuration/configuration_model.h"

#include <algorithm>
#include <filesystem>

#include "common/program_version.h"
#include "link/stored_connection.h"

namespace corvel {
namespace {

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
    return joined;
}

std::string SettingsCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " setting" : " settings");
}

// The file name a technician is offered: the transmitter's serial number.
std::string ProposedName(const TransmitterConfiguration& configuration, const std::string& suffix) {
    const std::string& serial = configuration.identity.serialNumber;
    return (serial.empty() ? std::string("transmitter") : serial) + suffix;
}

}  // namespace

std::vector<ComparisonRow> ShownRows(const ConfigurationWindowState& state) {
    return state.table == ConfigurationTable::Comparison && state.onlyDifferences ? Differences(state.rows) : state.rows;
}

ConfigurationModel::ConfigurationModel(const ToolContext& context, WindowHost& host, ReportFileWriter reportWriter)
    : context_(context),
      host_(host),
      reportWriter_(std::move(reportWriter)),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared}) {}

bool ConfigurationModel::open() {
    routes_ = RoutesFor(ReadStoredConnection(context_.store, context_.comm));
    if (!readTransmitter()) return false;
    showTransmitter();
    return true;
}

void ConfigurationModel::showTransmitter() {
    const TransmitterConfiguration& configuration = reading_->configuration;
    showTable(ConfigurationTable::Transmitter, CompareConfigurations(configuration, configuration),
              "Settings of " + configuration.identity.modelCode + " " + configuration.identity.serialNumber);
}

bool ConfigurationModel::readTransmitter() {
    host_.setWaitCursor(true);
    ReadOutcome outcome = ReadConfiguration(session_, routes_, IsoTimeNow());
    host_.setWaitCursor(false);
    reading_ = std::move(outcome.reading);
    state_.transmitterRead = reading_.has_value();
    if (!reading_) context_.prompter.error("The transmitter's configuration could not be read.\n\n" + outcome.error);
    return state_.transmitterRead;
}

void ConfigurationModel::setOnlyDifferences(bool only) { state_.onlyDifferences = only; }

void ConfigurationModel::showTable(ConfigurationTable table, std::vector<ComparisonRow> rows, std::string summary) {
    // The value columns' captions of each table.
    static constexpr std::pair<const char*, const char*> kCaptions[] = {
        {"Transmitter", ""}, {"Transmitter", "File"}, {"Transmitter", "File"}, {"Read back", "Planned"}};
    const auto& [second, third] = kCaptions[static_cast<int>(table)];
    state_.table = table;
    state_.rows = std::move(rows);
    state_.secondCaption = second;
    state_.thirdCaption = third;
    state_.summary = std::move(summary);
    host_.showValues();
}

bool ConfigurationModel::save() {
    if (!state_.transmitterRead) return false;
    const std::optional<std::string> path = context_.files.saveFile(
        {"Save configuration", kConfigurationFileFilter, "json", ProposedName(reading_->configuration, ".json")});
    if (!path || !readTransmitter()) return false;
    const std::string error = SaveConfigurationFile(*path, reading_->configuration);
    if (!error.empty()) {
        context_.prompter.error("The configuration was not saved to " + *path + ": " + error);
        return false;
    }
    showTransmitter();
    context_.prompter.inform("The configuration was saved to " + *path + ".");
    return true;
}

std::optional<TransmitterConfiguration> ConfigurationModel::loadChosenFile(const char* title) {
    const std::optional<std::string> path = context_.files.openFile({title, kConfigurationFileFilter, "json", ""});
    if (!path) return std::nullopt;
    LoadedConfiguration loaded = LoadConfigurationFile(*path);
    if (!loaded.configuration) {
        context_.prompter.error(*path + " is not a configuration file that can be used: " + loaded.error);
        return std::nullopt;
    }
    state_.summary = FileName(*path);
    return std::move(loaded.configuration);
}

bool ConfigurationModel::compare() {
    const std::optional<TransmitterConfiguration> file = loadChosenFile("Compare with file");
    if (!file || !readTransmitter()) return false;
    std::vector<ComparisonRow> rows = CompareConfigurations(reading_->configuration, *file);
    const std::size_t differing = Differences(rows).size();
    std::string summary = differing == 0 ? "The transmitter matches " + state_.summary
                                         : SettingsCount(differing) + " differ from " + state_.summary;
    showTable(ConfigurationTable::Comparison, std::move(rows), std::move(summary));
    return true;
}

bool ConfigurationModel::restore() {
    const std::optional<TransmitterConfiguration> file = loadChosenFile("Restore from file");
    if (!file || !readTransmitter()) return false;
    const std::string fileName = state_.summary;
    const std::optional<RestorePlan> plan = planFor(*file);
    if (!plan) return false;
    if (plan->changes.empty()) {
        showTransmitter();
        context_.prompter.inform("The transmitter already has the settings of " + fileName + ". Nothing was written.");
        return true;
    }
    showTable(ConfigurationTable::Plan, plan->changes,
              SettingsCount(plan->changes.size()) + " to write from " + fileName);
    if (!confirmPlan(*plan)) return false;
    apply(*plan);
    return true;
}

// The plan for `file`, or nothing after the operator was told why it cannot
// be restored. A file of another model family is restored in the settings
// both models have only when the operator agrees.
std::optional<RestorePlan> ConfigurationModel::planFor(const TransmitterConfiguration& file) {
    RestorePlan plan = PlanRestore(*reading_, file);
    if (plan.refusal) {
        RestorePlan shared = PlanRestore(*reading_, file, {.acrossModelFamilies = true});
        if (!shared.refusal &&
            context_.prompter.confirm(*plan.refusal + "\n\nRestore only the settings that both models have?"))
            return shared;
        context_.prompter.error(*(shared.refusal ? shared.refusal : plan.refusal) + "\n\nNothing was written.");
        return std::nullopt;
    }
    return plan;
}

bool ConfigurationModel::confirmPlan(const RestorePlan& plan) {
    std::string question = "Write " + SettingsCount(plan.changes.size()) + " to the transmitter?\n\n";
    for (const ComparisonRow& row : plan.changes)
        question += row.setting + ": " + row.transmitterText + " -> " + row.fileText + "\n";
    if (!plan.notRestored.empty()) question += "\nNot restored: " + Joined(plan.notRestored) + "\n";
    for (const std::string& warning : plan.warnings) question += "\n" + warning + "\n";
    return context_.prompter.confirm(question, MessageAnswer::No);
}

void ConfigurationModel::apply(const RestorePlan& plan) {
    state_.busy = true;
    host_.startProgress();
    const RestoreResult result = ApplyRestore(session_, routes_, plan, [this](const RestoreProgress& progress) {
        const int percent = progress.total == 0 ? 100 : static_cast<int>(progress.done * 100 / progress.total);
        host_.showProgress(percent, "Writing " + Joined(progress.settings));
        host_.processEvents();
    });
    host_.stopProgress();
    state_.busy = false;
    showVerified(result);
}

void ConfigurationModel::showVerified(const RestoreResult& result) {
    if (result.succeeded) {
        showTable(ConfigurationTable::Verified, result.verified,
                  SettingsCount(result.written.size()) + " written and verified");
        return;
    }
    std::string report = "The restore stopped: " + result.error + "\n\nWritten: " +
                         (result.written.empty() ? "nothing" : Joined(result.written)) +
                         "\nNot written: " + (result.notWritten.empty() ? "nothing" : Joined(result.notWritten));
    showTable(ConfigurationTable::Verified, result.verified, "The restore stopped; see the settings read back");
    context_.prompter.error(report);
}

bool ConfigurationModel::writeReport(const ReportDetails& details) {
    if (!state_.transmitterRead) return false;
    const std::optional<std::string> path = context_.files.saveFile(
        {"Commissioning report", kReportFileFilter, "pdf", ProposedName(reading_->configuration, "-commissioning.pdf")});
    if (!path || !readTransmitter()) return false;
    const ReportInputs inputs = reportInputs(details);
    if (host_.progressCancelled()) return false;
    const std::string error = reportWriter_(*path, BuildCommissioningReport(inputs));
    if (!error.empty()) {
        context_.prompter.error("The commissioning report was not written to " + *path + ": " + error);
        return false;
    }
    context_.prompter.inform("The commissioning report was written to " + *path + ".");
    return true;
}

ReportInputs ConfigurationModel::reportInputs(const ReportDetails& details) {
    const TransmitterConfiguration& configuration = reading_->configuration;
    const int count = std::clamp(details.readings, 1, kMaxReadingCount);
    state_.busy = state_.cancellable = true;
    host_.startProgress();
    ReportInputs inputs{std::string("Corvel Setup Utility ") + kProgramVersion, ReportDateTimeNow(),
                        details.technician, details.note, configuration, {}};
    inputs.readings = TakeAsFoundReadings(session_, routes_.pressure, configuration.p2.has_value(), count,
                                          [this, count](int taken) {
                                              host_.showProgress(taken * 100 / count, "Reading " +
                                                                 std::to_string(taken + 1) + " of " +
                                                                 std::to_string(count));
                                              host_.processEvents();
                                              return !host_.progressCancelled();
                                          });
    host_.stopProgress();
    state_.busy = state_.cancellable = false;
    return inputs;
}

}  // namespace corvel
