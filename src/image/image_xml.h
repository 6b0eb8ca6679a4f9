#pragma once
// The builder's own reading of the project files: loading with the failures it must stop on,
// and one pass over a row's attributes or a root's elements.

#include <pugixml.hpp>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/xml_io.h"
#include "image/image_result.h"

namespace qm {

// Loads path into doc. A missing file is not a failure: present becomes false.
Build_Result Load_Build_Input(const std::string& path, pugi::xml_document& doc, bool& present);

// A text that goes into an image must be well-formed UTF-8; the message names file and field.
Build_Result Check_Utf8(std::string_view text, const std::string& file, const std::string& field);

// The first child element of that name; other kinds of node never match.
pugi::xml_node First_Element(const pugi::xml_node& parent, std::string_view name);

// Plain equality of two names. A large file compares some twenty thousand of them, and the C
// library's strcmp takes a name in a few wide steps where a loop here takes one byte at a time.
inline bool Same_Name(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// Index of name in names, or N when it is none of them. The search starts at the expected name
// and goes on in list order, so a file in the writer's order costs one comparison per name, and
// one that skips names only a few more.
template <std::size_t N>
std::size_t Name_Index(const char* name, const std::array<const char*, N>& names, std::size_t expected) {
    std::size_t i = expected;
    for (std::size_t n = 0; n < N; ++n) {
        if (Same_Name(names[i], name)) {
            return i;
        }
        // A wrap by hand: the remainder costs a division per attribute.
        i = i + 1 == N ? 0 : i + 1;
    }
    return N;
}

// Collects the values of the named attributes in one pass as C strings; the first of two equal
// names counts, and a missing attribute reads as "" (which every reader treats like a missing one).
// The writers put attributes in a fixed order, so the next expected name is tried first.
// For the large tables: most values are looked at once, so measuring each would cost more.
template <std::size_t N>
void Collect_Attribute_Texts(const pugi::xml_node& row, const std::array<const char*, N>& names,
                             std::array<const char*, N>& values) {
    values.fill(nullptr);
    std::size_t expected = 0;
    // A parsed attribute always has a name, and the empty attribute past the last one has "":
    // testing that saves a call into the library per attribute.
    for (pugi::xml_attribute a = row.first_attribute();; a = a.next_attribute()) {
        const char* const name = a.name();
        if (*name == '\0') {
            break;
        }
        const std::size_t k = Name_Index(name, names, expected);
        if (k < N) {
            expected = k + 1 == N ? 0 : k + 1;
            if (values[k] == nullptr) {
                values[k] = a.value();
            }
        }
    }
    for (const char*& value : values) {
        if (value == nullptr) {
            value = "";
        }
    }
}

// The same as text views; a missing attribute reads as empty.
template <std::size_t N>
void Collect_Attributes(const pugi::xml_node& row, const std::array<const char*, N>& names,
                        std::array<std::string_view, N>& values) {
    std::array<const char*, N> texts;
    Collect_Attribute_Texts(row, names, texts);
    for (std::size_t i = 0; i < N; ++i) {
        values[i] = texts[i];
    }
}

// The same over the child elements of a root, taking each element's text.
template <std::size_t N>
void Collect_Element_Texts(const pugi::xml_node& root, const std::array<const char*, N>& names,
                           std::array<std::string_view, N>& values) {
    std::array<const char*, N> found{};
    std::size_t expected = 0;
    for (pugi::xml_node e = root.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) {
            continue;
        }
        const std::size_t k = Name_Index(e.name(), names, expected);
        if (k < N) {
            expected = k + 1 == N ? 0 : k + 1;
            if (found[k] == nullptr) {
                found[k] = e.text().get();
            }
        }
    }
    for (std::size_t i = 0; i < N; ++i) {
        values[i] = found[i] != nullptr ? std::string_view(found[i]) : std::string_view();
    }
}

// The four lists of the project files as the builder walks them. Every element child of the
// list's section is a row, in file order: a blank key does not end the list, and nothing is
// trimmed or defaulted. The report and the comparison read through the same functions, so that
// they show what the device gets.
enum class Build_List { S7_Read, S7_Write, Variables, Certificates };

// The element holding the list's rows: a section of S7_Protocol.xml's root, or the root of the
// other two files. An empty node (no rows) when the file has no such element.
pugi::xml_node Build_List_Section(const pugi::xml_document& doc, Build_List list);

// The builder takes a row only when its Enable is exactly "Y".
inline bool Build_Takes(std::string_view enable) {
    return enable == "Y";
}

template <class Visit>
void For_Each_Build_Row(const pugi::xml_node& section, Visit&& visit) {
    for (pugi::xml_node row = section.first_child(); row; row = row.next_sibling()) {
        if (row.type() == pugi::node_element) {
            visit(row);
        }
    }
}

// Every row of the list with the texts of the named attributes, as the builder sees them.
template <std::size_t N>
std::vector<std::vector<std::string>> Build_List_Rows(const pugi::xml_document& doc, Build_List list,
                                                      const std::array<const char*, N>& names) {
    std::vector<std::vector<std::string>> rows;
    std::array<const char*, N> texts;
    For_Each_Build_Row(Build_List_Section(doc, list), [&](const pugi::xml_node& row) {
        Collect_Attribute_Texts(row, names, texts);
        rows.emplace_back(texts.begin(), texts.end());
    });
    return rows;
}

} // namespace qm
