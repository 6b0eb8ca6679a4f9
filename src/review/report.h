#pragma once
// The printable record of a configuration: what it holds, the result of the editors' checks and
// the images it builds into. One content model with a text and an HTML form; the PDF is drawn
// from the HTML form by the Qt side.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qm {

struct Report_Options {
    bool show_secrets = false;   // passwords and the key in full instead of "set" / "empty"
    std::string date_time;       // when the report was made; the local time now when empty
    std::string program_version; // the configurator's version; Program_Version when empty
};

struct Report_Table {
    std::string title;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows; // every cell on one line
    std::vector<bool> disabled;                 // per row: shown marked as not in use
};

// A grid of coloured cells with its legend, drawn in the HTML and PDF forms (the data map).
struct Report_Picture {
    int per_line = 50;
    std::vector<std::uint32_t> cells; // 0xRRGGBB, line by line
    std::vector<std::pair<std::uint32_t, std::string>> legend;
};

struct Report_Section {
    std::string title;
    std::vector<std::pair<std::string, std::string>> facts; // label, value
    std::vector<std::string> lines;
    std::vector<Report_Table> tables;
    std::vector<std::pair<std::string, std::string>> blocks; // label, multi-line text shown as it is
    std::vector<Report_Picture> pictures;                    // after the lines
};

struct Report {
    std::string title;              // "Configuration Report"
    std::string configuration_name; // on every page
    std::vector<Report_Section> sections;
    // Texts of the paged form, so that it needs nothing of the string table: "Page 3 / 9", and
    // what an empty table shows.
    std::string page = "Page ", page_of = " / ", none = "(none)";
};

// Reads the configuration in folder, checks it and builds its images in memory; texts in the
// current language. Reading problems are part of the report, not a failure.
Report Make_Report(const std::string& folder, const Report_Options& options = {});

// Plain text: headings underlined, facts as "label: value", tables with | between cells.
std::string Report_Text(const Report& report);

enum class Html_Flavour {
    Browser, // CSS for screen and print
    Qt,      // the subset QTextDocument lays out, for the PDF and the print preview
};
// One self-contained page: CSS inline, no scripts, nothing fetched.
std::string Report_Html(const Report& report, Html_Flavour flavour = Html_Flavour::Browser);

} // namespace qm
