#pragma once
// Small workbooks made in the tests: a zip of the parts given, written by libzip, and the parts
// of a minimal workbook around one sheet's XML.

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace qm::test {

struct Zip_Part {
    std::string name;
    std::string bytes;
    bool store = false;           // no compression
    bool encrypt = false;         // AES-256 with a password
};

// The zip of the parts, in their order; empty when libzip refused something.
inline std::string Make_Zip(const std::vector<Zip_Part>& parts) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("qm_zip_" + std::to_string(std::random_device()()) + ".zip");
    int error = 0;
    zip_t* zip = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (zip == nullptr) {
        return {};
    }
    for (const Zip_Part& part : parts) {
        zip_source_t* source = zip_source_buffer(zip, part.bytes.data(), part.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(zip, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return {};
        }
        const auto i = static_cast<zip_uint64_t>(index);
        zip_set_file_compression(zip, i, part.store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
        if (part.encrypt && zip_file_set_encryption(zip, i, ZIP_EM_AES_256, "secret") != 0) {
            zip_discard(zip);
            return {};
        }
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    in.close();
    std::filesystem::remove(path);
    return bytes.str();
}

// The parts of a workbook with the sheets given (name, sheetData XML), shared strings and
// styles as given (left out when empty). Sheets may be hidden with "hidden:" before the name.
inline std::vector<Zip_Part> Workbook_Parts(const std::vector<std::pair<std::string, std::string>>& sheets,
                                            const std::string& shared_strings = {},
                                            const std::string& styles = {}) {
    std::vector<Zip_Part> parts;
    parts.push_back({"[Content_Types].xml",
                     R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)"});
    parts.push_back({"_rels/.rels",
                     R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                     R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
                     R"(</Relationships>)"});
    std::string workbook =
        R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)";
    std::string rels =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    int n = 0;
    for (const auto& [name, data] : sheets) {
        ++n;
        const bool hidden = name.starts_with("hidden:");
        const std::string shown = hidden ? name.substr(7) : name;
        const std::string id = "rId" + std::to_string(n);
        workbook += "<sheet name=\"" + shown + "\" sheetId=\"" + std::to_string(n) + "\"" +
                    (hidden ? " state=\"hidden\"" : "") + " r:id=\"" + id + "\"/>";
        rels += "<Relationship Id=\"" + id +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet" + std::to_string(n) + ".xml\"/>";
        parts.push_back({"xl/worksheets/sheet" + std::to_string(n) + ".xml",
                         R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
                             data + "</sheetData></worksheet>"});
    }
    workbook += "</sheets></workbook>";
    if (!shared_strings.empty()) {
        rels += R"(<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)";
        parts.push_back({"xl/sharedStrings.xml",
                         R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
                             shared_strings + "</sst>"});
    }
    if (!styles.empty()) {
        rels += R"(<Relationship Id="rIdT" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="/xl/styles.xml"/>)";
        parts.push_back({"xl/styles.xml",
                         R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
                             styles + "</styleSheet>"});
    }
    rels += "</Relationships>";
    parts.push_back({"xl/workbook.xml", workbook});
    parts.push_back({"xl/_rels/workbook.xml.rels", rels});
    return parts;
}

inline std::string Make_Workbook(const std::string& sheet_data, const std::string& shared_strings = {},
                                 const std::string& styles = {}) {
    return Make_Zip(Workbook_Parts({{"Sheet1", sheet_data}}, shared_strings, styles));
}

// Sets the uncompressed size that the local and central headers declare for an entry.
inline void Patch_Declared_Size(std::string& zip, const std::string& name, std::uint32_t size) {
    auto put = [&](std::size_t at) {
        for (int k = 0; k < 4; ++k) {
            zip[at + static_cast<std::size_t>(k)] = static_cast<char>((size >> (8 * k)) & 0xFF);
        }
    };
    auto u16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(zip[at])) |
               static_cast<std::size_t>(static_cast<unsigned char>(zip[at + 1])) << 8;
    };
    for (std::size_t i = 0; i + 46 < zip.size(); ++i) {
        if (zip.compare(i, 4, "PK\x03\x04") == 0 && zip.compare(i + 30, name.size(), name) == 0 && u16(i + 26) == name.size()) {
            put(i + 22);
        } else if (zip.compare(i, 4, "PK\x01\x02") == 0 && zip.compare(i + 46, name.size(), name) == 0 &&
                   u16(i + 28) == name.size()) {
            put(i + 24);
        }
    }
}

} // namespace qm::test
