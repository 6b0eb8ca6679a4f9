#pragma once
// The data map: which bytes of the converter's two data arrays the S7comm rules fill or send and
// the IEC 61850 variables show, and where the two sides do not meet. Read rules fill the data
// array (NByte_IN bytes), variables show positions of the same array, write rules send bytes of
// the write array (NByte_OUT bytes). Computed from the lists as the device gets them: every row
// of the file counts, and only a row whose Enable is exactly "Y".

#include <cstdint>
#include <string>
#include <vector>

#include "tables/table_file.h"

namespace qm {

enum class Map_List { S7_Read, S7_Write, Variables };
enum class Finding_Kind { Overlap, Past_End, Unfed, Size_Mismatch };

// What one enabled row covers: bytes first to last, or one bit of the byte first. Positions are
// the typed values, so a rule far past the end keeps its own numbers (never beyond Wide_Int_Limit).
struct Map_Span {
    int row = 0; // 1-based, as the windows number the rows
    std::int64_t first = 0;
    std::int64_t last = 0;
    int bit = -1;           // 0..7 for a Bit rule or a Digital (Bit) variable, else -1
    bool read_only = false; // variables only
};

struct Map_Finding {
    Finding_Kind kind = Finding_Kind::Overlap;
    Map_List list = Map_List::S7_Read;
    std::vector<int> rows; // rows of list, ascending
    std::int64_t first_byte = 0;
    std::int64_t last_byte = 0;
    int bit = -1;               // -1 when the finding is about whole bytes
    std::vector<int> rule_rows; // size-mismatch: the read rules the variable meets
};

// A row the map cannot place, or places otherwise than its text says.
struct Map_Note {
    Map_List list = Map_List::S7_Read;
    int row = 0;
    int column = 0;   // the cell concerned
    std::string text; // the cell's text
    bool left_out = true; // false: mapped, with the device's reading (an unknown Data Type is Bit)
};

struct Data_Map {
    std::vector<Map_Span> read;
    std::vector<Map_Span> write;
    std::vector<Map_Span> variables;
    std::vector<Map_Finding> findings; // past-end, overlap, unfed, size-mismatch; each by rows
    std::vector<Map_Note> notes;
};

// The map of the three lists, each in the column layout of its table (Table_Row). Nothing is
// allocated by a typed value: a huge Position or Length costs no more than a small one.
Data_Map Compute_Data_Map(const Table_Rows& read, const Table_Rows& write, const Table_Rows& variables);

// The three lists as the builder reads them from a configuration folder. problems names each
// file that exists but cannot be read; its list is then empty.
struct Map_Lists {
    Table_Rows read;
    Table_Rows write;
    Table_Rows variables;
    std::vector<std::string> problems;
};
Map_Lists Read_Map_Lists(const std::string& folder);

// What a cell of the data array holds, for the picture and the live marks.
struct Byte_Use {
    int read_rules = 0; // read rules touching the byte
    int first_rule = 0; // row of the first of them, 0 for none
    int variables = 0;  // variables showing the byte
    int first_variable = 0;
    bool conflict = false; // part of an overlap
    bool unfed = false;    // part of an unfed variable
};
// One entry per byte of the data array (NByte_IN).
std::vector<Byte_Use> Data_Array_Use(const Data_Map& map);

// The colour of a byte in the pictures, one place for the window, the report and their legends.
enum class Byte_Kind { Free, Read_Rule, Variable, Both, Conflict, Unfed };
Byte_Kind Kind_Of(const Byte_Use& use);
std::uint32_t Byte_Colour(Byte_Kind kind); // 0xRRGGBB
// The kinds in legend order, each with its string-table entry.
struct Legend_Item {
    Byte_Kind kind;
    int entry;
};
extern const Legend_Item Legend_Items[6];

// "s7-read", "s7-write", "variables"; "overlap", "past-end", "unfed", "size-mismatch".
const char* List_Key(Map_List list);
const char* Kind_Key(Finding_Kind kind);
// The finding in words of the current language, naming rows, bytes and bit; the Mnemonics and
// Names are taken from the lists the map was computed from.
std::string Finding_Text(const Map_Finding& finding, const Table_Rows& read, const Table_Rows& write,
                         const Table_Rows& variables);
// The same after the kind's name: "overlap: read rules 1 and 3: both fill byte 21, bit 3".
std::string Finding_Line(const Map_Finding& finding, const Table_Rows& read, const Table_Rows& write,
                         const Table_Rows& variables);
std::string Note_Text(const Map_Note& note);

// Who owns which bytes, in byte order: each read rule with the variables that show its bytes,
// then the variables no read rule fills; each write rule.
struct Owner_Row {
    std::string bytes; // "bytes 20 to 21"
    std::string owner; // "read rule 1 "Oven""
    std::string shown_by; // the variables showing a rule's bytes: "variable 1 "Temp", variable 4"
    bool unfilled = false; // a variable that no read rule fills
};
struct Owner_Tables {
    std::vector<Owner_Row> data;
    std::vector<Owner_Row> write;
};
Owner_Tables Owner_Rows(const Data_Map& map, const Table_Rows& read, const Table_Rows& write,
                        const Table_Rows& variables);
// "byte 20", "bytes 20 to 23", "byte 4, bit 3".
std::string Bytes_Text(std::int64_t first, std::int64_t last, int bit);

} // namespace qm
