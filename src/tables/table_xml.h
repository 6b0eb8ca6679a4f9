#pragma once
// Reading helpers behind the three list files; not used outside src/tables.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_file.h"

namespace qm {

// A list file as parsed, with what its messages need.
struct Table_Xml {
    pugi::xml_document doc;
    std::string text;                 // the bytes as read, for line numbers
    std::string name;                 // the path, at the head of every message
    std::ptrdiff_t error_offset = -1; // where a malformed file broke off; -1 when well-formed
    Table_Read_Info info;
};

// Fills x from a file. A missing file gives status Missing and no problem; a file that cannot
// be read or parsed is a problem, and a malformed file keeps the part that was parsed.
void Load_Table_Xml(const std::string& path, Table_Xml& x);
void Load_Table_Xml_Text(std::string_view text, const std::string& name, Table_Xml& x);

// The document's first node, when it is an element; otherwise a problem is recorded and the
// result is empty (a comment or instruction before the root hides the whole list).
pugi::xml_node Root_Element(Table_Xml& x);

// The element children of a section, in order, at most capacity of them; the rest are counted
// as a problem. Comments and text between rows are not rows. An element the parser could not
// finish (its start tag runs into the point where a malformed file broke off) is left out.
std::vector<pugi::xml_node> Row_Elements(Table_Xml& x, pugi::xml_node section, int capacity);

// "<file>: line <n>: " for a node of the document.
std::string Where(const Table_Xml& x, pugi::xml_node node);

void Add_Problem(Table_Read_Info& info, std::string message);

} // namespace qm
