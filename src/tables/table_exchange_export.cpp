// Exporting a list as a CSV/TSV file, and cells as a block for the clipboard.
#include "tables/exchange_rules.h"

#include "common/conversions.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"

namespace qm {

using namespace exchange_rules;

char Separator_For_Path(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return ',';
    }
    const std::string extension = Upper_Ascii(path.substr(dot));
    return extension == ".TSV" || extension == ".TXT" ? '\t' : ',';
}

char Export_Separator(std::string_view path, std::optional<char> chosen) {
    if (!path.empty() && Separator_For_Path(path) == '\t') {
        return '\t';
    }
    return chosen.value_or(',');
}

bool Is_Workbook_Path(std::string_view path) {
    return path.size() >= 5 && Upper_Ascii(path.substr(path.size() - 5)) == ".XLSX";
}

bool Separator_Contradicts_Name(std::string_view path, std::optional<char> chosen) {
    return chosen && Export_Separator(path, chosen) != *chosen;
}

namespace exchange_rules {

void Saved_Rows(Exchange_Table table, const Table_Rows& rows,
                const std::function<void(const std::vector<std::string_view>&)>& on_row) {
    // The rows come out of the table's own writer, so the file says what its OK would save.
    pugi::xml_document doc;
    pugi::xml_node section;
    switch (table) {
    case Exchange_Table::S7_Read:
    case Exchange_Table::S7_Write: {
        S7_Protocol_Data data;
        (table == Exchange_Table::S7_Read ? data.Read : data.Write) = rows;
        Write_S7_Protocol_Xml(data, doc);
        section = First_Node(doc).child(table == Exchange_Table::S7_Read ? "S7_Protocol_Read" : "S7_Protocol_Write");
        break;
    }
    case Exchange_Table::Variables:
        Write_IEC61850_Variables_Xml(rows, doc);
        section = First_Node(doc);
        break;
    case Exchange_Table::Certificates:
        Write_TLS_Known_Cert_Xml(rows, doc);
        section = First_Node(doc);
        break;
    }
    std::vector<std::string_view> values;
    for (pugi::xml_node row = section.first_child(); row; row = row.next_sibling()) {
        values.clear();
        for (pugi::xml_attribute attribute = row.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            values.emplace_back(attribute.value());
        }
        on_row(values);
    }
}

} // namespace exchange_rules

std::string Export_Table(Exchange_Table table, const Table_Rows& rows, char separator) {
    std::string out = "\xEF\xBB\xBF";
    const std::span<const Column_Layout> layout = Layout_Of(table).columns;
    for (std::size_t k = 0; k < layout.size(); ++k) {
        if (k > 0) {
            out += separator;
        }
        Append_Csv_Field(out, layout[k].attribute, separator);
    }
    out += "\r\n";
    Saved_Rows(table, rows, [&](const std::vector<std::string_view>& values) {
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (k > 0) {
                out += separator;
            }
            Append_Cell(out, values[k], separator);
        }
        out += "\r\n";
    });
    return out;
}

std::string Export_Block(const std::vector<std::vector<std::string>>& cells) {
    std::string out;
    for (const auto& row : cells) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (k > 0) {
                out += '\t';
            }
            Append_Cell(out, row[k], '\t');
        }
        out += "\r\n";
    }
    return out;
}

std::string Export_Selection(const Table_Rows& rows, int top_row, int bottom_row, int left_column, int right_column) {
    std::vector<std::vector<std::string>> cells;
    for (int r = top_row; r <= bottom_row; ++r) {
        std::vector<std::string> line;
        for (int c = left_column; c <= right_column; ++c) {
            const bool inside = r >= 1 && r <= static_cast<int>(rows.size());
            line.emplace_back(inside ? Cell(rows[static_cast<std::size_t>(r - 1)], c) : std::string_view());
        }
        cells.push_back(std::move(line));
    }
    return Export_Block(cells);
}

} // namespace qm
