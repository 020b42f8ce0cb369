#pragma once
// The commissioning report as a PDF on A4 with Qt's PDF writer: the title,
// each section's fields in two columns or its table, the signature lines,
// and the page number at the foot of every page.

#include <QByteArray>
#include <string>

#include "report/commissioning_report.h"

namespace corvel {

QByteArray ReportPdf(const ReportDocument& document);

// Writes the PDF to `path` (beside it first, then renamed over it); empty on
// success, else the reason.
std::string WriteReportPdf(const std::string& path, const ReportDocument& document);

}  // namespace corvel
