#pragma once
// PLC tags read from the PLC engineering files: tag tables (XML, .xlsx), symbol tables (SDF, SEQ,
// ASC) and DB sources with standard block access. Qt-free. Every reader gives plain records with
// the source line of each, and what it left out and why; which rule a tag becomes is decided in
// tag_rules.h alone.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class Tag_Area { Input, Output, Flag, Periphery_Input, Periphery_Output, Data_Block, Timer, Counter, Block };
// The width an address names: a bit (I0.0), a byte (MB2), a word (MW2), a double word (MD2).
enum class Tag_Width { Bit, Byte, Word, DWord, None };

struct Plc_Address {
    Tag_Area area = Tag_Area::Flag;
    Tag_Width width = Tag_Width::None;
    long byte = 0; // byte address, or the number of a timer, counter or block
    int bit = 0;   // 0..7 for a bit address
    long db = 0;   // the DB number of a Data_Block address
};

// Both mnemonics (I/Q/M, PIB.., and E/A/M, PEB..), with or without '%', any blanks between the
// letters and the number, "%IW64:P" for a peripheral access; DBn.DBX/DBB/DBW/DBDm; "T 5", "C 5",
// "Z 5"; block symbols "DB 10", "FB 1", "FC 2", "OB 1"... Nothing when the text is none of these.
std::optional<Plc_Address> Parse_Plc_Address(std::string_view text);

struct Plc_Tag {
    std::string name;    // the full name: "Start", "DB_Tank.Pump.Speed", "DB_Tank.Temps[1]"
    std::string type;    // the data type as the file writes it: "Bool", "INT", "Real"
    Plc_Address address; // for a DB variable: Data_Block, byte offset, bit, DB number
    std::string comment;
    int line = 0;
};

struct Left_Out_Tag {
    std::string name;
    int line = 0;
    std::string reason; // in the current language
};

struct Tag_Error {
    int line = 0;     // 0: the whole file
    std::string text; // without the line
};

enum class Tag_File_Kind { Unknown, Tag_Table_Xml, Tag_Table_Xlsx, Symbol_Sdf, Symbol_Seq, Symbol_Asc, Db_Source };

struct Tag_Read_Result {
    Tag_File_Kind kind = Tag_File_Kind::Unknown;
    std::vector<Plc_Tag> tags; // in file order
    std::vector<Left_Out_Tag> left_out;
    std::vector<Tag_Error> errors; // when not empty the tags must not be used
    bool ok() const { return errors.empty(); }
};

// A reader stops with an error once this many tags are met: no list holds as many rules, and a
// hostile file (an array of a million elements) must not cost time or memory.
inline constexpr std::size_t Max_Tags = 10000;
// A file with an error on every line stops being listed after this many.
inline constexpr std::size_t Max_Listed_Tag_Errors = 1000;

// Recognises the kind by the content, not the name.
Tag_File_Kind Detect_Tag_File(std::string_view bytes);

// Reads a file of any kind. db: the DB number of a DB source whose block has none (0: none given).
Tag_Read_Result Read_Tag_File(std::string_view bytes, long db = 0);

Tag_Read_Result Read_Tag_Table_Xml(std::string_view bytes);
Tag_Read_Result Read_Symbol_Table(std::string_view bytes, Tag_File_Kind kind);
Tag_Read_Result Read_Db_Source(std::string_view bytes, long db = 0);
#ifdef QM_HAVE_XLSX
Tag_Read_Result Read_Tag_Table_Xlsx(std::string_view bytes);
#endif

// Shared by the readers: the tag, checked against its address; or why it is left out, or an error.
void Add_Area_Tag(Tag_Read_Result& result, std::string name, std::string type, std::string_view address,
                  std::string comment, int line);

// A file with an error gives no tags at all, so that no caller can use half of it.
void Drop_Tags_On_Error(Tag_Read_Result& result);

// The type's size in the standard-access layout, and whether the converter reads it.
struct Elementary_Type {
    const char* name;   // as the engineering tools write it, compared without letter case
    int bits;           // 1 for Bool, else 8 * bytes
    const char* rule;   // the rule's Data Type, or null: the converter cannot read it
};
// Nothing for a type that is not elementary (a Struct, an Array, a String, a UDT) or unknown.
const Elementary_Type* Find_Elementary_Type(std::string_view name);

// Text decoding of the text forms: UTF-8 (with or without byte-order mark) or Windows-1252,
// never a silent guess; an error names the line.
std::optional<Tag_Error> Decode_Tag_Text(std::string_view bytes, std::string& text);

} // namespace qm
