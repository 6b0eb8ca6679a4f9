#include "tables/table_file.h"
#include "language/lang_table.h"

#include <algorithm>

#include "common/conversions.h"
#include "tables/table_xml.h"

namespace qm {

std::string_view Cell(const Table_Row& row, int column) {
    if (column < 1 || static_cast<std::size_t>(column) > row.size()) {
        return {};
    }
    return row[static_cast<std::size_t>(column - 1)];
}

Table_Row Reset_Row(int column_count) {
    Table_Row row(static_cast<std::size_t>(std::max(column_count - 1, 0)));
    if (!row.empty()) {
        row[0] = "Y";
    }
    return row;
}

Table_Rows Reset_Table(int row_count, int column_count) {
    return Table_Rows(static_cast<std::size_t>(std::max(row_count, 0)), Reset_Row(column_count));
}

int List_Length(const Table_Rows& rows, int key_column, int capacity) {
    const int limit = std::min(static_cast<int>(rows.size()), capacity);
    int n = 0;
    while (n < limit && !Trim(Cell(rows[static_cast<std::size_t>(n)], key_column)).empty()) {
        ++n;
    }
    return n;
}

std::string Table_Read_Info::Message() const {
    std::string joined;
    for (const std::string& problem : problems) {
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += problem;
    }
    return joined;
}

Table_Save_Result Save_Table_File(const pugi::xml_document& doc, const std::string& path, bool keep_backup) {
    Table_Save_Result result;
    if (keep_backup && File_Exists(path)) {
        const std::optional<std::string> backup = Keep_Backup(path, "backup");
        if (!backup) {
            result.ok = false;
            result.message = path + Lang(56);
            return result;
        }
        result.backup_path = *backup;
    }
    const Io_Result saved = Save_Xml_File(doc, path);
    if (!saved) {
        result.ok = false;
        result.message = saved.message;
        return result;
    }
    if (!result.backup_path.empty()) {
        result.message = path + Lang(57) + result.backup_path;
    }
    return result;
}

// ---- reading helpers (table_xml.h) ----

void Add_Problem(Table_Read_Info& info, std::string message) {
    info.complete = false;
    info.problems.push_back(std::move(message));
}

void Load_Table_Xml_Text(std::string_view text, const std::string& name, Table_Xml& x) {
    x.text.assign(text);
    x.name = name;
    x.error_offset = -1;
    x.info = {};
    const Xml_Load_Result loaded = Load_Xml_Text(x.text, name, x.doc);
    if (!loaded.ok()) {
        x.info.status = loaded.status;
        x.error_offset = loaded.offset;
        Add_Problem(x.info, loaded.message);
    }
}

void Load_Table_Xml(const std::string& path, Table_Xml& x) {
    x.doc.reset();
    x.text.clear();
    x.name = path;
    x.error_offset = -1;
    x.info = {};
    if (!File_Exists(path)) {
        if (Dir_Exists(path)) {
            x.info.status = Xml_Load_Status::Unreadable;
            Add_Problem(x.info, path + Lang(46));
        } else {
            x.info.status = Xml_Load_Status::Missing;
        }
        return;
    }
    std::string text;
    const Io_Result read = Read_File(path, text);
    if (!read) {
        x.info.status = Xml_Load_Status::Unreadable;
        Add_Problem(x.info, read.message);
        return;
    }
    Load_Table_Xml_Text(text, path, x);
}

namespace {

int Line_Of(const std::string& text, std::ptrdiff_t offset) {
    if (offset < 0) {
        return 0;
    }
    const auto end = std::min(static_cast<std::size_t>(offset), text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

// True when the start tag that begins at offset (its name) closes before the parser broke off,
// so that every attribute of the element was read. Quoted values may hold a '>'.
bool Start_Tag_Closed_Before(const std::string& text, std::ptrdiff_t offset, std::ptrdiff_t limit) {
    char quote = 0;
    const auto end = std::min(static_cast<std::size_t>(limit), text.size());
    for (auto i = static_cast<std::size_t>(offset); i < end; ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return true;
        }
    }
    return false;
}

} // namespace

std::string Where(const Table_Xml& x, pugi::xml_node node) {
    const int line = Line_Of(x.text, node.offset_debug());
    if (line <= 0) {
        return x.name + ": ";
    }
    return x.name + Lang(58) + std::to_string(line) + ": ";
}

pugi::xml_node Root_Element(Table_Xml& x) {
    const pugi::xml_node first = First_Node(x.doc);
    if (first.type() == pugi::node_element) {
        return first;
    }
    // A malformed file already has its message; an empty partial tree needs no second one.
    if (first && x.error_offset < 0) {
        Add_Problem(x.info, Where(x, first) + Lang(first.type() == pugi::node_comment ? 59 : 60));
    }
    return {};
}

std::vector<pugi::xml_node> Row_Elements(Table_Xml& x, pugi::xml_node section, int capacity) {
    std::vector<pugi::xml_node> rows;
    int extra = 0;
    for (pugi::xml_node node = section.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        if (x.error_offset >= 0 && !Start_Tag_Closed_Before(x.text, node.offset_debug(), x.error_offset)) {
            break;
        }
        if (static_cast<int>(rows.size()) < capacity) {
            rows.push_back(node);
        } else {
            ++extra;
        }
    }
    if (extra > 0) {
        const int total = capacity + extra;
        Add_Problem(x.info, Where(x, section) + section.name() + Lang(61) + std::to_string(total) + Lang(62) +
                                std::to_string(capacity) + Lang(63) + std::to_string(capacity + 1) + Lang(64) +
                                std::to_string(total) + Lang(65));
    }
    return rows;
}

} // namespace qm
