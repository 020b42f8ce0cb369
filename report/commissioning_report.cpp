#include "report/commissioning_report.h"

#include <ctime>

#include "config/configuration_compare.h"

namespace corvel {
namespace {

ReportSection ReportHeaderSection(const ReportInputs& inputs) {
    return {"Report",
            {{"Utility", inputs.utility},
             {"Date and time", inputs.dateTime},
             {"Technician", inputs.technician},
             {"Note", inputs.note}},
            {}};
}

std::vector<ReportField> IdentityFields(const TransmitterIdentity& identity) {
    return {{"Model", identity.modelCode + (identity.modelName.empty() ? "" : " (" + identity.modelName + ")")},
            {"Serial number", identity.serialNumber},
            {"Firmware version", identity.firmwareVersion}};
}

// Every setting, named and shown as the comparison shows them.
std::vector<ReportField> SettingFields(const TransmitterConfiguration& configuration) {
    std::vector<ReportField> fields;
    for (const ComparisonRow& row : CompareConfigurations(configuration, configuration))
        fields.push_back({row.setting, row.transmitterText});
    return fields;
}

std::vector<std::string> ReadingsHeader(const AsFoundReadings& readings) {
    std::vector<std::string> header{"No.", "P1 (" + readings.p1.unit + ")", "P1 status"};
    if (readings.p2) {
        header.push_back("P2 (" + readings.p2->unit + ")");
        header.push_back("P2 status");
    }
    return header;
}

std::vector<std::string> ReadingRow(int number, const AsFoundReading& reading, bool p2) {
    std::vector<std::string> row{std::to_string(number), reading.p1.text, reading.p1.status};
    if (p2) {
        const InputReading none{std::nullopt, "", ""};
        const InputReading& input = reading.p2 ? *reading.p2 : none;
        row.push_back(input.text);
        row.push_back(input.status);
    }
    return row;
}

// The minimum, maximum and mean rows below the readings.
void AddSummaryRows(const AsFoundReadings& readings, ReportTable& table) {
    const InputSummary p1 = SummaryOf(readings, true);
    const InputSummary p2 = SummaryOf(readings, false);
    const std::pair<const char*, std::string InputSummary::*> rows[] = {
        {"Minimum", &InputSummary::minimum}, {"Maximum", &InputSummary::maximum}, {"Mean", &InputSummary::mean}};
    for (const auto& [caption, member] : rows) {
        std::vector<std::string> row{caption, p1.*member, ""};
        if (readings.p2) {
            row.push_back(p2.*member);
            row.push_back("");
        }
        table.rows.push_back(std::move(row));
    }
}

ReportSection ReadingsSection(const AsFoundReadings& readings) {
    ReportSection section{"As-found readings", {}, {ReadingsHeader(readings), {}}};
    int number = 0;
    for (const AsFoundReading& reading : readings.readings)
        section.table.rows.push_back(ReadingRow(++number, reading, readings.p2.has_value()));
    AddSummaryRows(readings, section.table);
    return section;
}

}  // namespace

ReportDocument BuildCommissioningReport(const ReportInputs& inputs) {
    ReportDocument document;
    document.title = kReportTitle;
    document.sections.push_back(ReportHeaderSection(inputs));
    document.sections.push_back({"Transmitter", IdentityFields(inputs.configuration.identity), {}});
    document.sections.push_back({"Configuration", SettingFields(inputs.configuration), {}});
    document.sections.push_back(ReadingsSection(inputs.readings));
    document.signatures = {"Technician", "Customer"};
    return document;
}

std::string ReportDateTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = {};
    if (local) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
    return text;
}

}  // namespace corvel
