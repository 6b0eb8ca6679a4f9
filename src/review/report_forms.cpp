// The text and HTML forms of a report.

#include "review/report.h"

#include <algorithm>
#include <cstdio>

#include "language/lang_table.h"
#include "review/review_texts.h"

namespace qm {

namespace {

// Code points, so that names with accents still align.
std::size_t Width(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

std::string Underlined(const std::string& title, char mark) {
    return title + "\n" + std::string(std::max<std::size_t>(Width(title), 1), mark) + "\n";
}

// A | inside a cell would look like a column boundary.
std::string Text_Cell(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '|') out += '\\';
        out += c;
    }
    return out;
}

void Text_Table(const Report_Table& table, std::string& out) {
    if (!table.title.empty()) {
        out += '\n';
        out += Underlined(table.title, '-');
    }
    const std::size_t columns = table.header.size();
    std::vector<std::size_t> widths(columns, 0);
    std::vector<std::vector<std::string>> cells;
    cells.reserve(table.rows.size() + 1);
    cells.push_back({});
    for (const auto& h : table.header) cells.back().push_back(Text_Cell(h));
    for (const auto& row : table.rows) {
        cells.push_back({});
        for (std::size_t c = 0; c < columns; ++c) cells.back().push_back(c < row.size() ? Text_Cell(row[c]) : "");
    }
    for (const auto& row : cells) {
        for (std::size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], Width(row[c]));
    }
    auto line = [&](const std::vector<std::string>& row) {
        std::string text = "|";
        for (std::size_t c = 0; c < columns; ++c) {
            text += " " + row[c] + std::string(widths[c] - Width(row[c]), ' ') + " |";
        }
        out += text + "\n";
    };
    line(cells.front());
    std::string rule = "|";
    for (std::size_t c = 0; c < columns; ++c) rule += std::string(widths[c] + 2, '-') + "|";
    out += rule + "\n";
    for (std::size_t r = 1; r < cells.size(); ++r) line(cells[r]);
    if (table.rows.empty()) out += Lang(review_text::None) + "\n";
}

std::string Escape(const std::string& text);

std::string Html_Colour(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFU));
    return text;
}

// Cells as a table of coloured cells: bgcolor is what both a browser and Qt's layout take.
std::string Picture_Html(const Report_Picture& picture) {
    std::string out = "<table cellspacing=\"1\" cellpadding=\"0\" bgcolor=\"#c8c8c8\">\n";
    const std::size_t per_line = static_cast<std::size_t>(std::max(picture.per_line, 1));
    for (std::size_t start = 0; start < picture.cells.size(); start += per_line) {
        out += "<tr>";
        for (std::size_t i = start; i < std::min(start + per_line, picture.cells.size()); ++i) {
            out += "<td bgcolor=\"" + Html_Colour(picture.cells[i]) + "\" width=\"9\" height=\"9\"></td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n<p>";
    for (const auto& [colour, label] : picture.legend) {
        out += "<span style=\"background-color: " + Html_Colour(colour) + ";\">&nbsp;&nbsp;&nbsp;&nbsp;</span> " +
               Escape(label) + "&nbsp;&nbsp; ";
    }
    return out + "</p>\n";
}

std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A CSS string literal for the page margin boxes.
std::string Css_String(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += ' ';
        } else if (c == '<') {
            out += "\\3C ";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* Browser_Style = R"(
body { font-family: Verdana, "DejaVu Sans", Arial, sans-serif; font-size: 10pt; color: #222; margin: 16px; }
h1 { font-size: 18pt; margin: 0 0 4px 0; }
h2 { font-size: 13pt; margin: 18px 0 6px 0; border-bottom: 1px solid #999; }
h3 { font-size: 11pt; margin: 12px 0 4px 0; }
p.name { font-size: 12pt; font-weight: bold; margin: 0 0 12px 0; }
table { border-collapse: collapse; margin-bottom: 8px; }
table.facts td { padding: 1px 12px 1px 0; vertical-align: top; }
table.facts td:first-child { color: #555; }
table.list { width: 100%; font-size: 7.5pt; }
table.list th, table.list td { border: 1px solid #aaa; padding: 1px 3px; text-align: left; vertical-align: top; }
table.list th { background: #e7d8d8; }
table.list td { word-break: break-word; overflow-wrap: anywhere; }
td, th { overflow-wrap: anywhere; }
tr.disabled td { color: #777; background: #eee; font-style: italic; }
pre { font-size: 8pt; background: #f6f6f6; border: 1px solid #ccc; padding: 4px; white-space: pre-wrap; overflow-wrap: anywhere; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
@media print {
  body { margin: 0; }
  h2 { break-after: avoid; page-break-after: avoid; }
}
)";

} // namespace

std::string Report_Text(const Report& report) {
    std::string out = Underlined(report.title, '=');
    for (const auto& section : report.sections) {
        out += "\n";
        if (!section.title.empty()) out += Underlined(section.title, '=');
        for (const auto& [label, value] : section.facts) out += label + ": " + value + "\n";
        for (const auto& line : section.lines) out += line + "\n";
        for (const auto& table : section.tables) Text_Table(table, out);
        for (const auto& [label, text] : section.blocks) {
            out += '\n';
            out += Underlined(label, '-');
            out += text;
            if (text.empty() || text.back() != '\n') out += '\n';
        }
    }
    return out;
}

std::string Report_Html(const Report& report, Html_Flavour flavour) {
    const bool qt = flavour == Html_Flavour::Qt;
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>" + Escape(report.title) + " - " +
                      Escape(report.configuration_name) + "</title>\n";
    if (!qt) {
        // The name and page numbers in the page margins where the browser supports margin boxes.
        out += "<style>" + std::string(Browser_Style) + "@page { size: A4 landscape; margin: 12mm;\n"
               "  @top-left { content: " + Css_String(report.configuration_name) +
               "; font-size: 8pt; }\n  @bottom-right { content: counter(page) \" / \" counter(pages); font-size: 8pt; }\n}\n"
               "</style>\n";
    }
    out += "</head><body>\n";
    const std::string list_table = qt ? "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
                                        "style=\"border-collapse: collapse; border-color: #aaaaaa; font-size: 6.5pt;\">"
                                      : "<table class=\"list\">";
    const std::string facts_table = qt ? "<table cellspacing=\"0\" cellpadding=\"1\">" : "<table class=\"facts\">";
    out += "<h1>" + Escape(report.title) + "</h1>\n<p class=\"name\"" +
           (qt ? std::string(" style=\"font-size: 12pt; font-weight: bold;\"") : "") + ">" +
           Escape(report.configuration_name) + "</p>\n";
    for (const auto& section : report.sections) {
        out += "<section>\n";
        if (!section.title.empty()) out += "<h2>" + Escape(section.title) + "</h2>\n";
        if (!section.facts.empty()) {
            out += facts_table + "\n";
            for (const auto& [label, value] : section.facts) {
                out += "<tr><td" + std::string(qt ? " style=\"color: #555555; padding-right: 12px;\"" : "") + ">" +
                       Escape(label) + "</td><td>" + Escape(value) + "</td></tr>\n";
            }
            out += "</table>\n";
        }
        for (const auto& line : section.lines) out += "<p>" + Escape(line) + "</p>\n";
        for (const auto& picture : section.pictures) out += Picture_Html(picture);
        for (const auto& table : section.tables) {
            if (!table.title.empty()) out += "<h3>" + Escape(table.title) + "</h3>\n";
            out += list_table + "\n<thead><tr>";
            for (const auto& h : table.header) {
                out += (qt ? "<th bgcolor=\"#e7d8d8\" align=\"left\">" : "<th>") + Escape(h) + "</th>";
            }
            out += "</tr></thead>\n<tbody>\n";
            for (std::size_t r = 0; r < table.rows.size(); ++r) {
                const bool disabled = r < table.disabled.size() && table.disabled[r];
                out += disabled ? (qt ? "<tr bgcolor=\"#eeeeee\">" : "<tr class=\"disabled\">") : "<tr>";
                for (const auto& cell : table.rows[r]) {
                    // Addresses and numbers stay on one line; texts with blanks may wrap.
                    const bool short_word = cell.size() <= 16 && cell.find(' ') == std::string::npos;
                    std::string style;
                    if (disabled && qt) style += "color: #777777; font-style: italic;";
                    if (short_word) style += " white-space: nowrap;";
                    out += (style.empty() ? std::string("<td>") : "<td style=\"" + style + "\">") + Escape(cell) + "</td>";
                }
                out += "</tr>\n";
            }
            out += "</tbody></table>\n";
            if (table.rows.empty()) out += "<p><i>" + Escape(Lang(review_text::None)) + "</i></p>\n";
        }
        for (const auto& [label, text] : section.blocks) {
            out += "<h3>" + Escape(label) + "</h3>\n<pre>" + Escape(text) + "</pre>\n";
        }
        out += "</section>\n";
    }
    out += "</body></html>\n";
    return out;
}

} // namespace qm
