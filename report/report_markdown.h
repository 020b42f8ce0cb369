#pragma once
// The commissioning report as Markdown: the title, each section's fields as
// a list or its table, and the signature lines.

#include <string>

#include "report/commissioning_report.h"

namespace corvel {

std::string ReportMarkdown(const ReportDocument& document);

}  // namespace corvel
