#include "report/report_markdown.h"

#include <string_view>

namespace corvel {
namespace {

// A text that reads as itself: Markdown's marks are escaped, and a line break
// continues the list item or table cell it stands in.
std::string Escaped(std::string_view text, std::string_view lineBreak) {
    std::string out;
    for (const char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            out += lineBreak;
            continue;
        }
        if (std::string_view("\\`*_[]<>|#").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

void AppendFields(const ReportSection& section, std::string& out) {
    for (const ReportField& field : section.fields)
        out += "- **" + Escaped(field.name, " ") + ":** " + Escaped(field.value, "  \n  ") + "\n";
}

void AppendRow(const std::vector<std::string>& cells, std::string& out) {
    out += "|";
    for (const std::string& cell : cells) out += " " + Escaped(cell, "<br>") + " |";
    out += "\n";
}

void AppendTable(const ReportTable& table, std::string& out) {
    AppendRow(table.header, out);
    out += "|";
    for (std::size_t i = 0; i < table.header.size(); ++i) out += " --- |";
    out += "\n";
    for (const auto& row : table.rows) AppendRow(row, out);
}

}  // namespace

std::string ReportMarkdown(const ReportDocument& document) {
    std::string out = "# " + Escaped(document.title, " ") + "\n";
    for (const ReportSection& section : document.sections) {
        out += "\n## " + Escaped(section.heading, " ") + "\n\n";
        if (section.table.header.empty()) AppendFields(section, out);
        else AppendTable(section.table, out);
    }
    out += "\n## Signatures\n";
    for (const std::string& caption : document.signatures)
        out += "\n" + Escaped(caption, " ") + ": ______________________________  Date: ____________\n";
    return out;
}

}  // namespace corvel
