#include "ui/tools/configuration/report_pdf.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "common/replace_file.h"

namespace corvel {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Lays the report out from the top of the first page down, starting a new
// page where the next block does not fit.
class ReportPainter {
public:
    explicit ReportPainter(QPdfWriter& writer) : writer_(writer), painter_(&writer) {
        body_ = QFont("Sans Serif", 9);
        bold_ = body_;
        bold_.setBold(true);
        width_ = writer.width();
        bottom_ = writer.height() - QFontMetrics(body_, &writer).height() * 2;
    }
    ~ReportPainter() {
        pageFoot();
        painter_.end();
    }

    void title(const std::string& text);
    void heading(const std::string& text);
    void fields(const std::vector<ReportField>& fields);
    void table(const ReportTable& table);
    void signatures(const std::vector<std::string>& captions);

private:
    int lineHeight() const { return QFontMetrics(body_, &writer_).height(); }
    int gap() const { return lineHeight() / 2; }
    void keepRoom(int height);
    void pageFoot();
    std::vector<int> columnWidths(const ReportTable& table) const;
    void tableRow(const std::vector<std::string>& cells, const std::vector<int>& widths, bool header);

    QPdfWriter& writer_;
    QPainter painter_;
    QFont body_;
    QFont bold_;
    int width_ = 0;
    int bottom_ = 0;
    int y_ = 0;
    int page_ = 1;
};

void ReportPainter::keepRoom(int height) {
    if (y_ + height <= bottom_) return;
    pageFoot();
    writer_.newPage();
    ++page_;
    y_ = 0;
}

void ReportPainter::pageFoot() {
    painter_.setFont(body_);
    painter_.drawText(QRect(0, bottom_ + lineHeight(), width_, lineHeight()), Qt::AlignRight,
                      QString("Page %1").arg(page_));
}

void ReportPainter::title(const std::string& text) {
    QFont font = bold_;
    font.setPointSize(16);
    painter_.setFont(font);
    const int height = QFontMetrics(font, &writer_).height();
    painter_.drawText(QRect(0, y_, width_, height), Qt::AlignLeft, Text(text));
    y_ += height + gap();
}

void ReportPainter::heading(const std::string& text) {
    QFont font = bold_;
    font.setPointSize(11);
    const int height = QFontMetrics(font, &writer_).height();
    keepRoom(height + gap() + lineHeight() * 2);  // never a heading alone at the foot of a page
    y_ += gap();
    painter_.setFont(font);
    painter_.drawText(QRect(0, y_, width_, height), Qt::AlignLeft, Text(text));
    y_ += height;
    painter_.drawLine(0, y_, width_, y_);
    y_ += gap() / 2;
}

// Name and value, the names' column as wide as the widest name (at most half
// the page), both wrapped within their columns.
void ReportPainter::fields(const std::vector<ReportField>& fields) {
    const QFontMetrics boldMetrics(bold_, &writer_);
    int nameWidth = 0;
    for (const ReportField& field : fields)
        nameWidth = std::max(nameWidth, boldMetrics.horizontalAdvance(Text(field.name)) + lineHeight());
    nameWidth = std::min(nameWidth, width_ / 2);
    const int valueWidth = width_ - nameWidth;
    const auto wrappedHeight = [&](const QFont& font, int width, const std::string& text) {
        return QFontMetrics(font, &writer_).boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, Text(text)).height();
    };
    for (const ReportField& field : fields) {
        const int height = std::max({lineHeight(), wrappedHeight(bold_, nameWidth - lineHeight(), field.name),
                                     wrappedHeight(body_, valueWidth, field.value)});
        keepRoom(height);
        painter_.setFont(bold_);
        painter_.drawText(QRect(0, y_, nameWidth - lineHeight(), height), Qt::TextWordWrap | Qt::AlignTop,
                          Text(field.name));
        painter_.setFont(body_);
        painter_.drawText(QRect(nameWidth, y_, valueWidth, height), Qt::TextWordWrap | Qt::AlignTop, Text(field.value));
        y_ += height;
    }
}

// Each column as wide as its widest text, the spare width shared out.
std::vector<int> ReportPainter::columnWidths(const ReportTable& table) const {
    const QFontMetrics metrics(bold_, &writer_);
    std::vector<int> widths(table.header.size(), 0);
    const auto widen = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], metrics.horizontalAdvance(Text(cells[i])) + lineHeight());
    };
    widen(table.header);
    for (const auto& row : table.rows) widen(row);
    int total = 0;
    for (const int width : widths) total += width;
    const int spare = (width_ - total) / static_cast<int>(std::max<std::size_t>(widths.size(), 1));
    for (int& width : widths) width += spare;
    return widths;
}

void ReportPainter::tableRow(const std::vector<std::string>& cells, const std::vector<int>& widths, bool header) {
    keepRoom(lineHeight());
    painter_.setFont(header ? bold_ : body_);
    int x = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const QString text = i < cells.size() ? Text(cells[i]) : QString();
        painter_.drawText(QRect(x, y_, widths[i] - lineHeight() / 2, lineHeight()), Qt::AlignLeft, text);
        x += widths[i];
    }
    y_ += lineHeight();
    if (header) painter_.drawLine(0, y_, width_, y_);
}

void ReportPainter::table(const ReportTable& table) {
    const std::vector<int> widths = columnWidths(table);
    tableRow(table.header, widths, true);
    for (const auto& row : table.rows) tableRow(row, widths, false);
}

// A line to sign on and one for the date, the caption below them.
void ReportPainter::signatures(const std::vector<std::string>& captions) {
    for (const std::string& caption : captions) {
        keepRoom(lineHeight() * 5);
        y_ += lineHeight() * 3;
        const int signatureEnd = width_ * 6 / 10;
        const int dateStart = width_ * 7 / 10;
        painter_.drawLine(0, y_, signatureEnd, y_);
        painter_.drawLine(dateStart, y_, width_, y_);
        painter_.setFont(body_);
        painter_.drawText(QRect(0, y_, signatureEnd, lineHeight()), Qt::AlignLeft, Text(caption) + ": name, signature");
        painter_.drawText(QRect(dateStart, y_, width_ - dateStart, lineHeight()), Qt::AlignLeft, "Date");
        y_ += lineHeight();
    }
}

}  // namespace

QByteArray ReportPdf(const ReportDocument& document) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(Text(document.title));
        writer.setCreator("Corvel Setup Utility");
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 18, 12),
                                         QPageLayout::Millimeter));
        writer.setResolution(300);
        ReportPainter painter(writer);
        painter.title(document.title);
        for (const ReportSection& section : document.sections) {
            painter.heading(section.heading);
            if (section.table.header.empty()) painter.fields(section.fields);
            else painter.table(section.table);
        }
        painter.heading("Signatures");
        painter.signatures(document.signatures);
    }
    return buffer.data();
}

std::string WriteReportPdf(const std::string& path, const ReportDocument& document) {
    const QByteArray pdf = ReportPdf(document);
    std::string error;
    if (!ReplaceFileContents(path, false, {pdf.toStdString()}, error)) return error;
    return {};
}

}  // namespace corvel
