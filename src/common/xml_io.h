#pragma once
// Loading and saving of the program's XML files through pugixml.

#include <pugixml.hpp>

#include <string>

#include "common/file_io.h"

namespace qm {

enum class Xml_Load_Status { Ok, Missing, Unreadable, Malformed };

struct Xml_Load_Result {
    Xml_Load_Status status = Xml_Load_Status::Ok;
    std::string message; // names the file, and for Malformed the line and column
    std::ptrdiff_t offset = -1; // for Malformed, the byte where parsing broke off
    bool ok() const { return status == Xml_Load_Status::Ok; }
};

// Loads a file keeping whitespace-only text as it is (pcdata of blanks is a value here).
// A missing file gives Missing with an empty message; it is not an error for the callers.
Xml_Load_Result Load_Xml_File(const std::string& path, pugi::xml_document& doc);
// Same, from memory; name is used in messages.
Xml_Load_Result Load_Xml_Text(std::string_view text, const std::string& name, pugi::xml_document& doc);

// The first node of the document that is not a declaration: the files' root by convention,
// whatever its name or kind (a comment before the root makes it the "root").
pugi::xml_node First_Node(const pugi::xml_document& doc);

// The document as the program writes it: UTF-8, no declaration, no whitespace added.
std::string Xml_To_String(const pugi::xml_document& doc);
// Saves through a temporary file and a rename.
Io_Result Save_Xml_File(const pugi::xml_document& doc, const std::string& path);

} // namespace qm
