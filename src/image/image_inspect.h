#pragma once
// An independent reader of the three device images, for `quillmaker-cli inspect` and for tests.
// It decodes whatever bytes it is given: every read is bounds-checked, and anything that does not
// match the image layout becomes a "problem" line instead of a crash.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qm {

using Image_Bytes = std::span<const std::uint8_t>;

inline constexpr std::uint32_t Bank1_Device_Address = 0x07000;
inline constexpr std::uint32_t Bank2_Device_Address = 0x80000;
inline constexpr std::uint32_t Bank3_Device_Address = 0xA0000;
inline constexpr std::uint32_t Bank3_Header_Address = 0xA0400;
inline constexpr std::size_t Bank1_Size = 2048;
inline constexpr std::size_t S7_Record_Size = 28;
inline constexpr std::size_t S7_Record_Count = 1024;
inline constexpr std::size_t Bank2_Size = S7_Record_Size * S7_Record_Count;
inline constexpr std::size_t NTP_Area_Size = 1024;
inline constexpr std::size_t Bank3_Header_Size = 54;
inline constexpr std::size_t Bank3_Min_Size = NTP_Area_Size + Bank3_Header_Size + 1;
inline constexpr std::size_t Image_Buffer_Size = 131072;

// What a decoder found besides the values: problems break the layout or a cross-check,
// notes are values that fit the layout but that the editors' checks would refuse.
struct Inspect_Findings {
    std::vector<std::string> problems;
    std::vector<std::string> notes;
};

// ---- bank1.bin -------------------------------------------------------------------------------

struct Bank1_Image {
    std::size_t size = 0;
    std::array<std::uint8_t, 4> Server_IP{}, Server_Mask{}, Server_Gateway{};
    std::array<std::uint8_t, 4> PLC_Side_IP{}, PLC_Side_Mask{}, PLC_Side_Gateway{}, Server_DNS{};
    std::uint32_t NTP_Text_Address = 0;
    std::uint32_t NTP_Poll_Interval = 0;
    std::uint32_t IEC61850_Area_Address = 0;
    std::uint32_t S7_Table_Address = 0;
    std::uint32_t S7_Rule_Count = 0;
    std::uint32_t Block_Checksum = 0;
    std::uint32_t Computed_Checksum = 0; // meaningful only for a full block
    // Reserved bytes that differ from their defaults, as (offset, length) runs.
    std::vector<std::pair<std::size_t, std::size_t>> Reserved_Changes;
    Inspect_Findings findings;

    bool complete() const { return size >= Bank1_Size; }
};

Bank1_Image Decode_Bank1(Image_Bytes bytes);

// ---- bank2.bin -------------------------------------------------------------------------------

struct S7_Record {
    std::size_t index = 0;
    std::uint32_t PLC_Address = 0;
    std::uint32_t PollTime = 0;
    std::uint16_t PLC_Add = 0, DB_Number = 0, PLC_Port = 0, Position = 0, Reserved_16 = 0;
    std::uint8_t Bit = 0, PLC_Type = 0, Data_Type = 0, Data_Identifier = 0, Reserved_22 = 0;
    std::uint8_t Rule_Flags = 0, PLC_Bit = 0, PLC_Area = 0, Rack_Slot = 0, Reserved_27 = 0;

    bool is_write() const { return (Rule_Flags & 0x20) != 0; }
};

struct Bank2_Image {
    std::size_t size = 0;
    std::vector<S7_Record> records; // the used records: the leading run of non-zero ones
    std::optional<std::uint32_t> expected_count; // S7_Rule_Count of bank1.bin, when given
    Inspect_Findings findings;
};

// rule_count: S7_Rule_Count from bank1.bin, to cross-check the number of used records.
Bank2_Image Decode_Bank2(Image_Bytes bytes, std::optional<std::uint32_t> rule_count = std::nullopt);

// Record `index` of a rule table, whatever it holds; the record must lie inside bytes.
S7_Record Decode_S7_Record(Image_Bytes bytes, std::size_t index);

// Names of the device codes as the S7comm editor lists them; empty for an unknown code.
std::string PLC_Type_Name(std::uint8_t code);
std::string S7_Data_Type_Name(std::uint8_t code);
std::string Data_Identifier_Name(std::uint8_t code);
std::string PLC_Area_Name(std::uint8_t code);

// ---- bank3.bin -------------------------------------------------------------------------------

enum class String_Encoding { Utf8, Low_Byte };

// One string of the pool as a header or entry refers to it.
struct Pool_String {
    std::string role;          // "key", "variable 2 name", ...
    std::uint32_t address = 0; // absolute device address
    std::string bytes;         // without the terminating zero
    String_Encoding encoding = String_Encoding::Utf8;
    bool empty_reference = false; // the layout's way of saying "no string" (0, or the empty marker)
    bool readable = false;        // the address pointed at a terminated string inside the file
};

struct Known_Cert_Entry {
    std::uint32_t Certificate_Add = 0;
    std::uint32_t Length = 0; // byte count, without the terminating zero
};

struct Var_Entry {
    std::uint32_t Name_Add = 0, Data_Type = 0, Position = 0, Start_Bit = 0, Length = 0, Read_Only = 0;
    float Multiplication_Factor = 0.0F;
    std::uint32_t Factor_Bits = 0;
    std::uint16_t Operation = 0, Options = 0;
};

struct Bank3_Header {
    std::uint16_t port = 0;
    std::uint32_t TLS_Enable = 0, key_add = 0, Key_Length = 0, Key_Password_Add = 0;
    std::uint32_t Server_Cert_Add = 0, Server_Cert_Length = 0, Root_Cert_Add = 0, Root_Cert_Length = 0;
    std::uint32_t Known_Cert_Num = 0, Known_Cert_Add = 0, Password_Add = 0, Var_Number = 0, Var_Add = 0;
};

struct Bank3_Image {
    std::size_t size = 0;
    std::string NTP_Text;           // the area's bytes up to the first zero
    bool NTP_Terminated = false;    // a zero byte follows the text inside the area
    bool has_header = false;
    Bank3_Header header;
    std::vector<Known_Cert_Entry> known_certs; // the entries that lie inside the file
    std::vector<Var_Entry> variables;          // the entries that lie inside the file
    std::optional<std::size_t> marker_offset;  // file offset of the empty marker, when inside the file
    std::vector<Pool_String> strings;          // in pool order
    std::size_t pool_end = 0;                  // file offset after the last string the layout expects
    Inspect_Findings findings;
};

Bank3_Image Decode_Bank3(Image_Bytes bytes);

// ---- the whole set ---------------------------------------------------------------------------

struct Bank_File {
    std::string name; // as shown in messages, e.g. "bank2.bin"
    std::vector<std::uint8_t> bytes;
};

struct Inspect_Options {
    bool full_strings = false; // print keys and certificates whole instead of their first line
    bool raw_records = false;  // print the 28 bytes of every used rule record
};

struct Inspect_Report {
    std::string text; // readable decode; problems and notes appear in it as "problem:"/"note:" lines
    std::vector<std::string> problems;
    std::vector<std::string> notes;
    bool ok() const { return problems.empty(); }
};

// Decodes the banks given and cross-checks them with each other where more than one is given.
Inspect_Report Inspect_Banks(const std::optional<Bank_File>& bank1, const std::optional<Bank_File>& bank2,
                             const std::optional<Bank_File>& bank3, const Inspect_Options& options = {});

// Which bank a file holds, from its name ("bank1" ... "bank3" in it) or else from its size;
// 0 when neither tells.
int Guess_Bank(const std::string& file_name, std::size_t size);

} // namespace qm
