#pragma once
// What PLC tags become: S7comm rules (and read-only IEC 61850 variables) at free positions of the
// data array, checked as the windows check them, and written to a configuration all or nothing.
// The mapping from a tag to a rule's fields is here and nowhere else.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tables/s7_protocol.h"
#include "tables/table_file.h"
#include "tags/plc_tags.h"

namespace qm {

struct Tag_Import_Options {
    // The connection every new rule gets, as the cells hold it.
    std::string plc_address;
    std::string port = "102";
    std::string plc_type = "S71500";
    std::string rack = "0";
    std::string slot = "1";
    std::string poll_time = "1000";
    bool write_list = false;
    // What a tag does not decide: the Data Identifier of an area tag (a DB variable has "DB") and
    // the PLC Area of a DB variable; the first items of their lists unless the user picks others.
    std::string area_identifier = Data_Identifier_Items.front();
    std::string db_area = PLC_Area_Items.front();
    // The first Position to take; none: after the highest one the list uses.
    std::optional<int> first_position;
    bool variables = false; // also one read-only IEC 61850 variable per new read rule
};

// The rule's Data Type for a tag's type ("Bit", "Int", ...); empty when the converter cannot read it.
std::string Rule_Data_Type(std::string_view tag_type);
// The bytes a rule of the Data Type takes in the data array (1 for Bit); 0 for an unknown type.
int Rule_Size(std::string_view data_type);

struct Tag_Rules {
    Table_Rows rules;         // the new rows, in the list's columns, in file order
    std::vector<int> lines;   // the file line of each new rule
    Table_Rows variables;     // with options.variables: one row per new rule
    std::vector<Tag_Error> errors;
    bool ok() const { return errors.empty(); }
};

// The rules of the tags, placed after the rules of list (the list the rules go to) or from
// options.first_position. Errors (past the end of the data array) name the tag's line.
Tag_Rules Make_Tag_Rules(const std::vector<Plc_Tag>& tags, const Table_Rows& list, const Tag_Import_Options& options);

struct Tag_Merge {
    S7_Protocol_Data data;  // both lists after the import
    Table_Rows variables;   // the variable list after the import (as it was without options.variables)
    int first_row = 0;      // the row of the first new rule (1-based)
    int first_variable = 0; // the row of the first new variable, 0 for none
    // The check's faults, the capacity and the data map's overlaps, in the window's words; the
    // import is refused when there is any.
    std::vector<std::string> faults;
    bool ok() const { return faults.empty(); }
};

// Appends the rules (and variables) after the end of their lists and checks the result: both
// S7comm lists together (the ten-connection rule), the variables, and the data map, which must
// find no overlap or overrun that a new row takes part in.
Tag_Merge Merge_Tag_Rules(S7_Protocol_Data data, Table_Rows variables, const Tag_Rules& rules,
                          const Tag_Import_Options& options);

// The S7comm window keeps the variables of the rules it took into its grid until its OK saves:
// then they go after the end of the variable list file, those whose rule the read list no
// longer holds (enabled, the same Mnemonic and Position) left out. Refused as a whole, with the
// reason, when the file cannot be read completely, the list would pass 50 or its check fails.
Table_Save_Result Save_Tag_Variables(const std::string& path, const Table_Rows& read_rules, const Table_Rows& pending);

struct Tag_Configuration_Import {
    Tag_Read_Result read;
    Tag_Rules rules;
    Tag_Merge merge;
    std::vector<std::string> problems; // a list file that cannot be read completely
    bool changed_meanwhile = false;
    bool written = false;
    std::string write_error;
    bool ok() const { return read.ok() && rules.ok() && merge.ok() && problems.empty() && !changed_meanwhile; }
};

// The import of the command line: reads the configuration's lists, makes and checks the rules
// and, unless dry_run, writes S7_Protocol.xml (and IEC61850_Variables.xml with variables)
// together, only when everything passes and neither file changed since it was read.
Tag_Configuration_Import Import_Tags_Into_Configuration(const std::string& folder, std::string_view bytes, long db,
                                                         const Tag_Import_Options& options, bool dry_run,
                                                         const std::function<void()>& before_write = {});

} // namespace qm
