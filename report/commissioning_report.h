#pragma once
// The commissioning report: what a technician hands over after setting up a
// transmitter. The builder turns what was read (identity, every configuration
// setting, the as-found readings) and what the technician gave (name, note)
// into sections of fields and tables; the PDF and Markdown renderers only lay
// them out. Texts are UTF-8; numbers are already texts in the C locale.

#include <string>
#include <vector>

#include "config/transmitter_configuration.h"
#include "report/as_found_readings.h"

namespace corvel {

inline constexpr const char* kReportTitle = "Commissioning Report";

struct ReportField {
    std::string name;
    std::string value;

    bool operator==(const ReportField&) const = default;
};

struct ReportTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// A heading over either fields (name and value, one a line) or a table.
struct ReportSection {
    std::string heading;
    std::vector<ReportField> fields;
    ReportTable table;
};

struct ReportDocument {
    std::string title;
    std::vector<ReportSection> sections;
    // The captions under the lines left for signatures.
    std::vector<std::string> signatures;
};

struct ReportInputs {
    std::string utility;    // "Corvel Setup Utility 1.1"
    std::string dateTime;   // "2026-12-08 15:47", local time
    std::string technician;
    std::string note;
    TransmitterConfiguration configuration;  // its identity and every setting
    AsFoundReadings readings;
};

ReportDocument BuildCommissioningReport(const ReportInputs& inputs);

// The local date and time of now as the report shows them ("2026-12-08 15:47").
std::string ReportDateTimeNow();

}  // namespace corvel
