#include "review/gui/report_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "review/report.h"

namespace qm::gui {
namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

constexpr double Margin_Mm = 12.0;

} // namespace

void Set_Report_Page(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(Margin_Mm, Margin_Mm, Margin_Mm, Margin_Mm), QPageLayout::Millimeter));
}

namespace {

// Sizes in points; the device's resolution turns them into its pixels.
constexpr double Title_Pt = 16, Name_Pt = 12, Section_Pt = 12, Caption_Pt = 9.5, Text_Pt = 8.5, Band_Pt = 7;
constexpr double Wide_Table_Pt = 6.5, Table_Pt = 7.5;
const QColor Header_Fill(231, 216, 216);
const QColor Disabled_Fill(238, 238, 238);
const QColor Grid(170, 170, 170);
const QColor Grey_Text(110, 110, 110);

// Words break only when a word alone is wider than its cell.
QTextOption Wrapping() {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

double Wrapped_Height(const QString& text, const QFont& font, double width, QPaintDevice* device) {
    QTextLayout layout(text, font, device);
    layout.setTextOption(Wrapping());
    layout.beginLayout();
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return height;
}

QFont Font(double points, bool bold = false, bool italic = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// One table measured once: column widths and row heights for the page width.
struct Table_Layout {
    QFont font, bold, italic;
    double pad = 0;
    std::vector<double> widths;
    std::vector<QString> header;
    std::vector<std::vector<QString>> cells;
    double header_height = 0;
    std::vector<double> heights;
};

// Lays the report out page by page. Run twice: once without a painter to count the pages,
// then with one to paint them, each page carrying "Page n / N".
class Page_Writer {
public:
    Page_Writer(const Report& report, QPagedPaintDevice& device) : report_(report), device_(device) {
        width_ = device.width();
        dpi_ = device.logicalDpiY();
        const QFontMetricsF band(Font(Band_Pt), &device);
        band_ = band.height() * 2.2;
        bottom_ = device.height() - band_;
        for (const auto& section : report.sections) {
            for (const auto& table : section.tables) tables_.push_back(Measure(table));
        }
    }

    int Run(QPainter* painter, int total_pages) {
        painter_ = painter;
        total_ = total_pages;
        page_ = 0;
        Start_Page();
        Paragraph(report_.title, Font(Title_Pt, true), 0.3);
        Paragraph(report_.configuration_name, Font(Name_Pt, true), 0.6);
        std::size_t table_index = 0;
        for (const auto& section : report_.sections) {
            if (!section.title.empty()) Section_Title(section.title);
            Facts(section.facts);
            for (const auto& line : section.lines) Paragraph(line, Font(Text_Pt), 0.4);
            for (const auto& picture : section.pictures) Picture(picture);
            for (const auto& table : section.tables) Table(table, tables_[table_index++]);
            for (const auto& [label, text] : section.blocks) Block(label, text);
        }
        return page_;
    }

private:
    double Px(double points) const { return points * dpi_ / 72.0; }

    QString Q(const std::string& utf8) const { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

    void Start_Page() {
        if (page_ > 0 && painter_ != nullptr) device_.newPage();
        ++page_;
        y_ = band_;
        if (painter_ == nullptr) return;
        const QFont font = Font(Band_Pt);
        const QFontMetricsF metrics(font, &device_);
        painter_->setFont(font);
        painter_->setPen(Grey_Text);
        // A long configuration name gives way to the texts at the right, never runs over them.
        const QString title = Q(report_.title);
        const QString page = Q(report_.page) + QString::number(page_) + Q(report_.page_of) + QString::number(total_);
        const auto name_in = [&](const QString& right) {
            const double room = width_ - metrics.horizontalAdvance(right) - metrics.height();
            return metrics.elidedText(Q(report_.configuration_name), Qt::ElideMiddle, std::max(room, 0.0));
        };
        const QRectF top(0, 0, width_, metrics.height());
        painter_->drawText(top, Qt::AlignLeft | Qt::AlignVCenter, name_in(title));
        painter_->drawText(top, Qt::AlignRight | Qt::AlignVCenter, title);
        painter_->drawLine(QPointF(0, metrics.height() * 1.3), QPointF(width_, metrics.height() * 1.3));
        const QRectF bottom(0, device_.height() - metrics.height(), width_, metrics.height());
        painter_->drawLine(QPointF(0, bottom.top() - metrics.height() * 0.3),
                           QPointF(width_, bottom.top() - metrics.height() * 0.3));
        painter_->drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, name_in(page));
        painter_->drawText(bottom, Qt::AlignRight | Qt::AlignVCenter, page);
    }

    void Need(double height) {
        if (y_ + height > bottom_ && y_ > band_) Start_Page();
    }

    void Paragraph(const std::string& text, const QFont& font, double space_after_lines, const QColor& color = Qt::black) {
        // A word wider than the page (a long name, a key line) breaks inside the word.
        const QFontMetricsF metrics(font, &device_);
        const QString shown = Q(text);
        const double height = std::max(metrics.height(), Wrapped_Height(shown, font, width_, &device_));
        Need(height);
        if (painter_ != nullptr) {
            painter_->setFont(font);
            painter_->setPen(color);
            painter_->drawText(QRectF(0, y_, width_, height), shown, Wrapping());
        }
        y_ += height + metrics.height() * space_after_lines;
    }

    // Cells of about 3.5 mm, fewer when the line would not fit the page, then the legend.
    void Picture(const Report_Picture& picture) {
        const int per_line = std::max(picture.per_line, 1);
        const double cell = std::min(Px(10), width_ / per_line);
        const auto lines = static_cast<int>((picture.cells.size() + static_cast<std::size_t>(per_line) - 1) /
                                            static_cast<std::size_t>(per_line));
        Need(cell * lines);
        if (painter_ != nullptr) {
            painter_->setPen(QPen(QColor(0xc8, 0xc8, 0xc8), Px(0.3)));
            for (std::size_t i = 0; i < picture.cells.size(); ++i) {
                const auto at = static_cast<int>(i);
                painter_->setBrush(QColor(static_cast<QRgb>(picture.cells[i])));
                painter_->drawRect(QRectF((at % per_line) * cell, y_ + (at / per_line) * cell, cell, cell));
            }
            painter_->setBrush(Qt::NoBrush);
        }
        y_ += cell * lines + Px(6);
        const QFont font = Font(Text_Pt);
        const QFontMetricsF metrics(font, &device_);
        Need(metrics.height());
        double x = 0;
        for (const auto& [colour, label] : picture.legend) {
            const QString text = Q(label);
            const double width = metrics.height() * 1.4 + metrics.horizontalAdvance(text) + metrics.height();
            if (x > 0 && x + width > width_) {
                x = 0;
                y_ += metrics.height() * 1.3;
                Need(metrics.height());
            }
            if (painter_ != nullptr) {
                painter_->setPen(QPen(Grey_Text, Px(0.3)));
                painter_->setBrush(QColor(static_cast<QRgb>(colour)));
                painter_->drawRect(QRectF(x, y_ + metrics.height() * 0.15, metrics.height() * 0.8, metrics.height() * 0.7));
                painter_->setBrush(Qt::NoBrush);
                painter_->setFont(font);
                painter_->setPen(Qt::black);
                painter_->drawText(QPointF(x + metrics.height() * 1.2, y_ + metrics.ascent()), text);
            }
            x += width;
        }
        y_ += metrics.height() * 1.6;
    }

    void Section_Title(const std::string& title) {
        const QFontMetricsF metrics(Font(Section_Pt, true), &device_);
        // A heading never stands alone at the foot of a page.
        Need(metrics.height() * 4);
        y_ += metrics.height() * 0.5;
        Paragraph(title, Font(Section_Pt, true), 0.1);
        if (painter_ != nullptr) {
            painter_->setPen(QPen(Grey_Text, Px(0.5)));
            painter_->drawLine(QPointF(0, y_), QPointF(width_, y_));
        }
        y_ += metrics.height() * 0.4;
    }

    void Facts(const std::vector<std::pair<std::string, std::string>>& facts) {
        if (facts.empty()) return;
        const QFont font = Font(Text_Pt);
        const QFontMetricsF metrics(font, &device_);
        double label_width = 0;
        for (const auto& fact : facts) label_width = std::max(label_width, metrics.horizontalAdvance(Q(fact.first)));
        label_width += Px(12);
        for (const auto& [label, value] : facts) {
            const QString shown = Q(value);
            const QRectF box =
                metrics.boundingRect(QRectF(0, 0, width_ - label_width, 1e9), Qt::TextWordWrap | Qt::TextWrapAnywhere, shown);
            Need(box.height());
            if (painter_ != nullptr) {
                painter_->setFont(font);
                painter_->setPen(Grey_Text);
                painter_->drawText(QRectF(0, y_, label_width, box.height()), Qt::AlignLeft, Q(label));
                painter_->setPen(Qt::black);
                painter_->drawText(QRectF(label_width, y_, width_ - label_width, box.height()),
                                   Qt::TextWordWrap | Qt::TextWrapAnywhere, shown);
            }
            y_ += box.height();
        }
        y_ += metrics.height() * 0.4;
    }

    Table_Layout Measure(const Report_Table& table) const {
        Table_Layout t;
        const double points = table.header.size() > 8 ? Wide_Table_Pt : Table_Pt;
        t.font = Font(points);
        t.bold = Font(points, true);
        t.italic = Font(points, false, true);
        t.pad = Px(1.6);
        const QFontMetricsF metrics(t.font, &device_);
        const QFontMetricsF bold(t.bold, &device_);
        const std::size_t columns = table.header.size();
        std::vector<double> natural(columns, 0);
        for (std::size_t c = 0; c < columns; ++c) {
            t.header.push_back(Q(table.header[c]));
            natural[c] = bold.horizontalAdvance(t.header.back());
        }
        // Widths of every cell on one line, kept to spare measuring wrapped text where it fits.
        std::vector<std::vector<double>> advance;
        for (const auto& row : table.rows) {
            t.cells.emplace_back();
            advance.emplace_back();
            for (std::size_t c = 0; c < columns; ++c) {
                t.cells.back().push_back(c < row.size() ? Q(row[c]) : QString());
                advance.back().push_back(metrics.horizontalAdvance(t.cells.back().back()));
                natural[c] = std::max(natural[c], advance.back().back());
            }
        }
        // Every column gets room for its longest word (of the header, and of cells that must not
        // break, such as addresses); what is left goes to the columns that want more, in
        // proportion to what they miss.
        std::vector<double> least(columns, 0);
        for (std::size_t c = 0; c < columns; ++c) {
            for (const QString& word : t.header[c].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                least[c] = std::max(least[c], bold.horizontalAdvance(word));
            }
        }
        for (std::size_t r = 0; r < t.cells.size(); ++r) {
            for (std::size_t c = 0; c < columns; ++c) {
                if (t.cells[r][c].size() <= 16 && !t.cells[r][c].contains(QLatin1Char(' '))) {
                    least[c] = std::max(least[c], advance[r][c]);
                }
            }
        }
        const double slack = Px(0.5); // a text exactly as wide as its cell would still wrap
        for (std::size_t c = 0; c < columns; ++c) {
            natural[c] += slack;
            least[c] = std::min(least[c] + slack, natural[c]);
        }
        const double room = width_ - 2 * t.pad * static_cast<double>(columns);
        const double least_sum = std::accumulate(least.begin(), least.end(), 0.0);
        const double natural_sum = std::accumulate(natural.begin(), natural.end(), 0.0);
        t.widths.assign(columns, 0);
        for (std::size_t c = 0; c < columns; ++c) {
            if (natural_sum <= room) {
                // Everything fits: spread what is free alike, so the table spans the page.
                t.widths[c] = natural[c] + (room - natural_sum) / static_cast<double>(columns);
            } else if (least_sum >= room) {
                t.widths[c] = least[c] * room / least_sum;
            } else {
                t.widths[c] = least[c] + (room - least_sum) * (natural[c] - least[c]) / (natural_sum - least_sum);
            }
        }
        for (double& w : t.widths) w += 2 * t.pad;

        auto height = [&](const QFont& font, const QString& text, double advance_width, std::size_t c) {
            const double inner = t.widths[c] - 2 * t.pad;
            if (advance_width + slack <= inner) return metrics.height();
            return std::max(metrics.height(), Wrapped_Height(text, font, inner, &device_));
        };
        t.header_height = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            t.header_height =
                std::max(t.header_height, height(t.bold, t.header[c], bold.horizontalAdvance(t.header[c]), c));
        }
        t.header_height += 2 * t.pad;
        for (std::size_t r = 0; r < t.cells.size(); ++r) {
            double h = metrics.height();
            const bool disabled = r < table.disabled.size() && table.disabled[r];
            for (std::size_t c = 0; c < columns; ++c) {
                h = std::max(h, height(disabled ? t.italic : t.font, t.cells[r][c], advance[r][c], c));
            }
            t.heights.push_back(h + 2 * t.pad);
        }
        return t;
    }

    void Row(const Table_Layout& t, const std::vector<QString>& cells, double height, bool header, bool disabled) {
        if (painter_ != nullptr) {
            double x = 0;
            const double total = std::accumulate(t.widths.begin(), t.widths.end(), 0.0);
            if (header || disabled) painter_->fillRect(QRectF(0, y_, total, height), header ? Header_Fill : Disabled_Fill);
            painter_->setFont(header ? t.bold : disabled ? t.italic : t.font);
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const QRectF cell(x, y_, t.widths[c], height);
                painter_->setPen(QPen(Grid, Px(0.4)));
                painter_->drawRect(cell);
                painter_->setPen(disabled ? Grey_Text : QColor(Qt::black));
                painter_->drawText(cell.adjusted(t.pad, t.pad, -t.pad, -t.pad), cells[c], Wrapping());
                x += t.widths[c];
            }
        }
        y_ += height;
    }

    void Table(const Report_Table& table, const Table_Layout& t) {
        const QFontMetricsF caption(Font(Caption_Pt, true), &device_);
        const double first_row = t.heights.empty() ? 0 : t.heights.front();
        Need((table.title.empty() ? 0 : caption.height() * 1.5) + t.header_height + first_row);
        if (!table.title.empty()) {
            y_ += caption.height() * 0.3;
            Paragraph(table.title, Font(Caption_Pt, true), 0.2);
        }
        Row(t, t.header, t.header_height, true, false);
        if (t.cells.empty()) {
            Paragraph(report_.none, t.italic, 0.2, Grey_Text);
        }
        for (std::size_t r = 0; r < t.cells.size(); ++r) {
            if (y_ + t.heights[r] > bottom_) {
                Start_Page();
                Row(t, t.header, t.header_height, true, false); // the header again on every page
            }
            Row(t, t.cells[r], t.heights[r], false, r < table.disabled.size() && table.disabled[r]);
        }
        y_ += caption.height() * 0.6;
    }

    void Block(const std::string& label, const std::string& text) {
        Paragraph(label, Font(Caption_Pt, true), 0.2);
        QFont mono(QStringLiteral("DejaVu Sans Mono"));
        mono.setPointSizeF(Wide_Table_Pt);
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            Paragraph(text.substr(start, end == std::string::npos ? std::string::npos : end - start), mono, 0);
            if (end == std::string::npos) break;
            start = end + 1;
        }
        y_ += Px(6);
    }

    const Report& report_;
    QPagedPaintDevice& device_;
    std::vector<Table_Layout> tables_;
    QPainter* painter_ = nullptr;
    double width_ = 0, dpi_ = 72, band_ = 0, bottom_ = 0, y_ = 0;
    int page_ = 0, total_ = 0;
};

} // namespace

int Paint_Report(const Report& report, QPagedPaintDevice& device) {
    Page_Writer writer(report, device);
    const int pages = writer.Run(nullptr, 0);
    QPainter painter(&device);
    writer.Run(&painter, pages);
    painter.end();
    return pages;
}

std::string Report_Pdf_Bytes(const Report& report, int* pages) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(Text(report.title + " - " + report.configuration_name));
        writer.setCreator(QStringLiteral("Quillmaker"));
        Set_Report_Page(writer);
        const int painted = Paint_Report(report, writer);
        if (pages != nullptr) *pages = painted;
    }
    return buffer.data().toStdString();
}

std::string Report_Pdf_Bytes_Offscreen(const Report& report, int* pages) {
    if (QGuiApplication::instance() != nullptr) return Report_Pdf_Bytes(report, pages);
    static char program[] = "quillmaker-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, option, platform, nullptr};
    int argc = 3;
    // Qt's notes about the platform (no runtime folder, no display) are not the tool's output.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    std::string bytes;
    {
        const QGuiApplication application(argc, argv);
        bytes = Report_Pdf_Bytes(report, pages);
    }
    qInstallMessageHandler(previous);
    return bytes;
}

} // namespace qm::gui
