// The readers: one small fixture per file kind, the standard-access layout against offsets
// computed by hand, and bad files, each refused with the line named.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "language/lang_strings.h"
#include "language/lang_table.h"
#include "tags/plc_tags.h"
#include "tags/tags_texts.h"

namespace {

using qm::Tag_Area;
using qm::Tag_File_Kind;
namespace tt = qm::tags_text;

class Tags_Test : public testing::Test {
protected:
    void SetUp() override { qm::Load_Default_Strings(); }
};

// The line of the fixture on which text first appears.
int Line_Of(const std::string& fixture, const std::string& text) {
    const std::size_t at = fixture.find(text);
    return at == std::string::npos ? -1 : 1 + static_cast<int>(std::count(fixture.begin(), fixture.begin() + static_cast<long>(at), '\n'));
}

const qm::Plc_Tag* Find(const qm::Tag_Read_Result& result, const std::string& name) {
    for (const qm::Plc_Tag& tag : result.tags) {
        if (tag.name == name) {
            return &tag;
        }
    }
    return nullptr;
}

std::string Errors(const qm::Tag_Read_Result& result) {
    std::string text;
    for (const qm::Tag_Error& error : result.errors) {
        text += "line " + std::to_string(error.line) + ": " + error.text + "\n";
    }
    return text;
}

// ---- layout ----

struct Offset {
    const char* name;
    long byte;
    int bit;
};

struct Layout_Case {
    const char* label;
    const char* body; // the declarations of a standard-access DB
    std::vector<Offset> offsets;
};

class Layout : public testing::TestWithParam<Layout_Case> {
protected:
    void SetUp() override { qm::Load_Default_Strings(); }
};

TEST_P(Layout, Gives_The_Offsets_Computed_By_Hand) {
    const Layout_Case& c = GetParam();
    const std::string source = std::string("DATA_BLOCK \"D\"\n{ S7_Optimized_Access := 'FALSE' }\nVERSION : 0.1\n"
                                           "NON_RETAIN\n   STRUCT\n") +
                               c.body + "   END_STRUCT;\nBEGIN\nEND_DATA_BLOCK\n";
    const qm::Tag_Read_Result result = qm::Read_Db_Source(source, 7);
    ASSERT_TRUE(result.ok()) << Errors(result);
    ASSERT_EQ(result.tags.size(), c.offsets.size());
    for (std::size_t i = 0; i < c.offsets.size(); ++i) {
        const qm::Plc_Tag& tag = result.tags[i];
        EXPECT_EQ(tag.name, std::string("D.") + c.offsets[i].name);
        EXPECT_EQ(tag.address.byte, c.offsets[i].byte) << tag.name;
        EXPECT_EQ(tag.address.bit, c.offsets[i].bit) << tag.name;
        EXPECT_EQ(tag.address.db, 7) << tag.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Standard_Access, Layout,
    testing::Values(
        Layout_Case{"Bits_Then_A_Byte", "a : Bool; b : Bool; c : Byte; d : Bool;\n",
                    {{"a", 0, 0}, {"b", 0, 1}, {"c", 1, 0}, {"d", 2, 0}}},
        Layout_Case{"Int_After_A_Bool", "a : Bool; i : Int; c : Char; r : Real;\n",
                    {{"a", 0, 0}, {"i", 2, 0}, {"c", 4, 0}, {"r", 6, 0}}},
        Layout_Case{"Nested_Struct", "x : Byte;\ns : Struct\n a : Bool;\n t : Struct\n  b : Byte;\n END_STRUCT;\n"
                                     "END_STRUCT;\ny : Byte;\n",
                    {{"x", 0, 0}, {"s.a", 2, 0}, {"s.t.b", 4, 0}, {"y", 6, 0}}},
        Layout_Case{"Array_Of_Bool", "f : Array[0..9] of Bool;\nn : Byte;\n",
                    {{"f[0]", 0, 0}, {"f[1]", 0, 1}, {"f[2]", 0, 2}, {"f[3]", 0, 3}, {"f[4]", 0, 4},
                     {"f[5]", 0, 5}, {"f[6]", 0, 6}, {"f[7]", 0, 7}, {"f[8]", 1, 0}, {"f[9]", 1, 1}, {"n", 2, 0}}},
        Layout_Case{"Array_Of_Byte_Rounded_Up", "b : Array[1..3] of Byte;\nw : Bool;\n",
                    {{"b[1]", 0, 0}, {"b[2]", 1, 0}, {"b[3]", 2, 0}, {"w", 4, 0}}},
        Layout_Case{"Array_Of_Int_And_Two_Dimensions", "b : Byte;\nt : Array[1..2, 0..1] of Int;\n",
                    {{"b", 0, 0}, {"t[1,0]", 2, 0}, {"t[1,1]", 4, 0}, {"t[2,0]", 6, 0}, {"t[2,1]", 8, 0}}},
        Layout_Case{"Array_Of_Struct", "a : Array[0..1] of Struct\n x : Bool;\n y : Byte;\nEND_STRUCT;\nz : Bool;\n",
                    {{"a[0].x", 0, 0}, {"a[0].y", 1, 0}, {"a[1].x", 2, 0}, {"a[1].y", 3, 0}, {"z", 4, 0}}},
        Layout_Case{"String_Takes_N_Plus_2", "c : Char;\ns : String[3];\nd : Byte;\ne : String;\nw : Word;\n",
                    {{"c", 0, 0}, {"d", 7, 0}, {"w", 264, 0}}},
        Layout_Case{"Struct_Of_One_Byte_Rounded_Up", "s : Struct\n a : Byte;\nEND_STRUCT;\nb : Byte;\n",
                    {{"s.a", 0, 0}, {"b", 2, 0}}}),
    [](const testing::TestParamInfo<Layout_Case>& info) { return std::string(info.param.label); });

// ---- one fixture per kind ----

const std::string Tia_Source = R"(TYPE "UDT_Motor"
VERSION : 0.1
   STRUCT
      On : Bool;   // running
      Speed : Int;
   END_STRUCT;

END_TYPE

DATA_BLOCK "DB_Tank"
{ S7_Optimized_Access := 'FALSE' }
VERSION : 0.1
NON_RETAIN
   STRUCT 
      Level : Real := 1.5;   // tank level
      "Pump" { ExternalAccessible := 'False'; S7_SetPoint := 'True'} : Struct
         On : Bool;
         Fault : Bool;
         Speed : Int;
      END_STRUCT;
      Temps : Array[1..3] of Int := [3(0)];
      Name : String[10] := 'a;b';
      Motor : "UDT_Motor";
      Flags : Array[0..9] of Bool;
      Total : LReal;
      (* counted
         every hour *)
      Count : DInt;
   END_STRUCT;


BEGIN
   Level := 2.0;

END_DATA_BLOCK
)";

TEST_F(Tags_Test, Tia_Db_Source_Gives_Names_Offsets_Comments_And_Left_Out) {
    ASSERT_EQ(qm::Detect_Tag_File(Tia_Source), Tag_File_Kind::Db_Source);
    const qm::Tag_Read_Result result = qm::Read_Tag_File(Tia_Source, 3);
    ASSERT_TRUE(result.ok()) << Errors(result);
    EXPECT_EQ(result.tags.size(), 20U);
    const std::vector<Offset> expected = {{"DB_Tank.Level", 0, 0},       {"DB_Tank.Pump.On", 4, 0},
                                          {"DB_Tank.Pump.Fault", 4, 1},  {"DB_Tank.Pump.Speed", 6, 0},
                                          {"DB_Tank.Temps[1]", 8, 0},    {"DB_Tank.Temps[3]", 12, 0},
                                          {"DB_Tank.Motor.On", 26, 0},   {"DB_Tank.Motor.Speed", 28, 0},
                                          {"DB_Tank.Flags[9]", 31, 1},   {"DB_Tank.Count", 40, 0}};
    for (const Offset& o : expected) {
        const qm::Plc_Tag* tag = Find(result, o.name);
        ASSERT_NE(tag, nullptr) << o.name;
        EXPECT_EQ(tag->address.byte, o.byte) << o.name;
        EXPECT_EQ(tag->address.bit, o.bit) << o.name;
        EXPECT_EQ(tag->address.db, 3) << o.name;
        EXPECT_EQ(tag->address.area, Tag_Area::Data_Block);
    }
    EXPECT_EQ(Find(result, "DB_Tank.Level")->comment, "tank level");
    EXPECT_EQ(Find(result, "DB_Tank.Level")->line, Line_Of(Tia_Source, "Level :"));
    EXPECT_EQ(Find(result, "DB_Tank.Motor.On")->comment, "running");
    EXPECT_EQ(Find(result, "DB_Tank.Count")->line, Line_Of(Tia_Source, "Count :"));
    ASSERT_EQ(result.left_out.size(), 2U);
    EXPECT_EQ(result.left_out[0].name, "DB_Tank.Name");
    EXPECT_EQ(result.left_out[1].name, "DB_Tank.Total");
    EXPECT_EQ(result.left_out[1].reason, qm::Lang(tt::Cannot_Read_Type) + "LReal");
}

TEST_F(Tags_Test, Awl_Db_Source_Takes_Its_Number_From_The_File) {
    const std::string source = "DATA_BLOCK DB 12\nTITLE = Values of the mixer; 'odd\nAUTHOR : Eng\nFAMILY : Mix\n"
                               "NAME : Mixer\nVERSION : 0.1\n\n\n  STRUCT \t\n   Run : BOOL ;\t//Mixer runs\n"
                               "   Mode : BYTE ;\t\n   Setpoint : REAL  := 2.500000e+001;\t\n"
                               "   Steps : ARRAY  [1 .. 4 ] OF INT ;\t\n   Recipe : STRUCT \t\n    Id : WORD ;\t\n"
                               "    Ok : BOOL ;\t\n   END_STRUCT ;\t\n   Ch : CHAR ;\n  END_STRUCT ;\t\nBEGIN\n"
                               "   Run := FALSE; \n   Setpoint := 2.500000e+001; \nEND_DATA_BLOCK\n";
    const qm::Tag_Read_Result result = qm::Read_Tag_File(source, 99); // the file's number wins
    ASSERT_TRUE(result.ok()) << Errors(result);
    const std::vector<Offset> expected = {{"DB12.Run", 0, 0},        {"DB12.Mode", 1, 0},     {"DB12.Setpoint", 2, 0},
                                          {"DB12.Steps[1]", 6, 0},   {"DB12.Steps[4]", 12, 0}, {"DB12.Recipe.Id", 14, 0},
                                          {"DB12.Recipe.Ok", 16, 0}, {"DB12.Ch", 18, 0}};
    for (const Offset& o : expected) {
        const qm::Plc_Tag* tag = Find(result, o.name);
        ASSERT_NE(tag, nullptr) << o.name;
        EXPECT_EQ(tag->address.byte, o.byte) << o.name;
        EXPECT_EQ(tag->address.db, 12) << o.name;
    }
    EXPECT_EQ(Find(result, "DB12.Run")->comment, "Mixer runs");
}

TEST_F(Tags_Test, Tag_Table_Xml_Reads_Tags_Comments_And_Leaves_Out_Timers) {
    const std::string xml = R"(<?xml version="1.0" encoding="utf-8"?>
<Document>
  <Engineering version="V17" />
  <SW.Tags.PlcTagTable ID="0">
    <AttributeList>
      <Name>Plant</Name>
    </AttributeList>
    <ObjectList>
      <SW.Tags.PlcTag ID="1" CompositionName="Tags">
        <AttributeList>
          <DataTypeName>Bool</DataTypeName>
          <ExternalAccessible>true</ExternalAccessible>
          <LogicalAddress>%I0.1</LogicalAddress>
          <Name>Start</Name>
        </AttributeList>
        <ObjectList>
          <MultilingualText ID="2" CompositionName="Comment">
            <ObjectList>
              <MultilingualTextItem ID="3" CompositionName="Items">
                <AttributeList>
                  <Culture>en-US</Culture>
                  <Text>Start button</Text>
                </AttributeList>
              </MultilingualTextItem>
            </ObjectList>
          </MultilingualText>
        </ObjectList>
      </SW.Tags.PlcTag>
      <SW.Tags.PlcTag ID="4" CompositionName="Tags">
        <AttributeList>
          <DataTypeName>Timer</DataTypeName>
          <LogicalAddress>%T5</LogicalAddress>
          <Name>Delay</Name>
        </AttributeList>
      </SW.Tags.PlcTag>
      <SW.Tags.PlcTag ID="5" CompositionName="Tags">
        <AttributeList>
          <DataTypeName>Real</DataTypeName>
          <LogicalAddress>%QD4</LogicalAddress>
          <Name>Valve "A"</Name>
        </AttributeList>
      </SW.Tags.PlcTag>
    </ObjectList>
  </SW.Tags.PlcTagTable>
</Document>
)";
    ASSERT_EQ(qm::Detect_Tag_File(xml), Tag_File_Kind::Tag_Table_Xml);
    const qm::Tag_Read_Result result = qm::Read_Tag_File(xml);
    ASSERT_TRUE(result.ok()) << Errors(result);
    ASSERT_EQ(result.tags.size(), 2U);
    EXPECT_EQ(result.tags[0].name, "Start");
    EXPECT_EQ(result.tags[0].comment, "Start button");
    EXPECT_EQ(result.tags[0].address.area, Tag_Area::Input);
    EXPECT_EQ(result.tags[0].address.bit, 1);
    EXPECT_EQ(result.tags[0].line, Line_Of(xml, "<SW.Tags.PlcTag ID=\"1\""));
    EXPECT_EQ(result.tags[1].name, "Valve \"A\"");
    EXPECT_EQ(result.tags[1].address.area, Tag_Area::Output);
    EXPECT_EQ(result.tags[1].address.byte, 4);
    ASSERT_EQ(result.left_out.size(), 1U);
    EXPECT_EQ(result.left_out[0].name, "Delay");
    EXPECT_EQ(result.left_out[0].reason, qm::Lang(tt::Timer));
}

TEST_F(Tags_Test, Symbol_Tables_In_Their_Three_Forms_Read_The_Same_Tags) {
    const auto asc_line = [](std::string symbol, std::string address, std::string type, std::string comment) {
        symbol.resize(24, ' ');
        address.resize(12, ' ');
        type.resize(10, ' ');
        comment.resize(80, ' ');
        return "126," + symbol + address + type + comment + "\r\n";
    };
    const std::string sdf = "\"Motor On                \",\"M      10.1\",\"BOOL      \",\"Drehzahl \xFC  \"\r\n"
                            "\"Level                   \",\"PEW  256   \",\"WORD      \",\"                \"\r\n"
                            "\"Mixer                   \",\"DB     10  \",\"DB     10 \",\"                \"\r\n"
                            "\"Delay                   \",\"T       5  \",\"TIMER     \",\"                \"\r\n";
    const std::string seq = "126,M      10.1\tMotor On\tBOOL\tDrehzahl \xC3\xBC\r\n126,PEW  256\tLevel\tWORD\t\r\n"
                            "126,DB     10\tMixer\tDB     10\t\r\n126,T       5\tDelay\tTIMER\t\r\n";
    const std::string asc = asc_line("Motor On", "M      10.1", "BOOL", "Drehzahl \xFC") +
                            asc_line("Level", "PEW  256", "WORD", "") + asc_line("Mixer", "DB     10", "DB     10", "") +
                            asc_line("Delay", "T       5", "TIMER", "");
    for (const auto& [text, kind] : {std::pair{sdf, Tag_File_Kind::Symbol_Sdf}, std::pair{seq, Tag_File_Kind::Symbol_Seq},
                                     std::pair{asc, Tag_File_Kind::Symbol_Asc}}) {
        ASSERT_EQ(qm::Detect_Tag_File(text), kind);
        const qm::Tag_Read_Result result = qm::Read_Tag_File(text);
        ASSERT_TRUE(result.ok()) << Errors(result);
        ASSERT_EQ(result.tags.size(), 2U);
        EXPECT_EQ(result.tags[0].name, "Motor On");
        EXPECT_EQ(result.tags[0].comment, "Drehzahl \xC3\xBC"); // cp1252 and UTF-8 alike
        EXPECT_EQ(result.tags[0].address.byte, 10);
        EXPECT_EQ(result.tags[0].address.bit, 1);
        EXPECT_EQ(result.tags[1].address.area, Tag_Area::Periphery_Input);
        EXPECT_EQ(result.tags[1].line, 2);
        ASSERT_EQ(result.left_out.size(), 2U);
        EXPECT_EQ(result.left_out[0].reason, qm::Lang(tt::Block_Symbol));
        EXPECT_EQ(result.left_out[1].reason, qm::Lang(tt::Timer));
    }
}

// ---- bad files ----

struct Bad_Case {
    const char* label;
    std::string text;
    int line;  // the line the error names
    int entry; // the message it starts with
    long db = 5;
};

class Bad_File : public testing::TestWithParam<Bad_Case> {
protected:
    void SetUp() override { qm::Load_Default_Strings(); }
};

TEST_P(Bad_File, Is_Refused_Naming_The_Line) {
    const Bad_Case& c = GetParam();
    const qm::Tag_Read_Result result = qm::Read_Tag_File(c.text, c.db);
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.tags.empty());
    EXPECT_EQ(result.errors.front().line, c.line) << Errors(result);
    std::string wanted = qm::Lang(c.entry);
    if (wanted.starts_with(": ")) { // the XML layer's text follows a file name
        wanted.erase(0, 2);
    }
    EXPECT_NE(result.errors.front().text.find(wanted), std::string::npos) << Errors(result);
}

const std::string Db_Head = "DATA_BLOCK \"D\"\n{ S7_Optimized_Access := 'FALSE' }\nVERSION : 0.1\n   STRUCT\n";
const std::string Db_Tail = "   END_STRUCT;\nBEGIN\nEND_DATA_BLOCK\n";

INSTANTIATE_TEST_SUITE_P(
    Refused, Bad_File,
    testing::Values(
        Bad_Case{"None_Of_The_Kinds", "hello world\n", 0, tt::Not_Tag_File},
        Bad_Case{"Unknown_Type", Db_Head + "a : Bool;\nb : Foo;\n" + Db_Tail, 6, tt::Unknown_Type},
        Bad_Case{"Unclosed_Struct", Db_Head + "a : Bool;\ns : Struct\n b : Int;\nBEGIN\nEND_DATA_BLOCK\n", 6,
                 tt::Struct_Not_Closed},
        Bad_Case{"Missing_End_Data_Block", Db_Head + "a : Bool;\n   END_STRUCT;\nBEGIN\n a := TRUE;\n", 1,
                 tt::No_End_Block},
        Bad_Case{"Million_Elements", Db_Head + "a : Bool;\nbig : Array[0..999999] of Int;\n" + Db_Tail, 6,
                 tt::Too_Large},
        Bad_Case{"Million_Bools_In_Structs", Db_Head + "s : Array[0..999] of Struct\n x : Array[0..999] of Bool;\n"
                                                         "END_STRUCT;\n" + Db_Tail, 5, tt::Too_Large},
        Bad_Case{"Too_Many_Declarations", Db_Head + [] {
                     std::string body;
                     for (int i = 0; i < 40001; ++i) body += "a : Bool;\n";
                     return body;
                 }() + Db_Tail, 5 + 40000, tt::Source_Too_Long},
        Bad_Case{"Too_Many_Tokens", Db_Head + std::string(1'100'000, ';'), 5, tt::Source_Too_Long},
        Bad_Case{"Optimized", "DATA_BLOCK \"D\"\n{ S7_Optimized_Access := 'TRUE' }\nSTRUCT\na : Bool;\n" + Db_Tail,
                 2, tt::Optimized},
        Bad_Case{"No_Db_Number", Db_Head + "a : Bool;\n" + Db_Tail, 1, tt::No_Db_Number, 0},
        Bad_Case{"Unknown_Udt", Db_Head + "a : Bool;\nm : \"UDT_Missing\";\n" + Db_Tail, 6, tt::Unknown_Udt},
        Bad_Case{"Udt_Holding_Itself", "TYPE \"T\"\nSTRUCT\n t : \"T\";\nEND_STRUCT;\nEND_TYPE\n" + Db_Head +
                                           "x : \"T\";\n" + Db_Tail, 3, tt::Too_Deep},
        Bad_Case{"Instance_Db", "DATA_BLOCK DB 5\nFB 3\nBEGIN\nEND_DATA_BLOCK\n", 2, tt::Instance_Db},
        Bad_Case{"Unclosed_Comment", Db_Head + "a : Bool; (* never closed\n" + Db_Tail, 5, tt::Unexpected_End},
        Bad_Case{"Reversed_Bounds", Db_Head + "a : Array[3..1] of Int;\n" + Db_Tail, 5, tt::Bad_Bounds},
        Bad_Case{"DInt_At_MB10", "\"Total   \",\"MB    10\",\"DINT  \",\"\"\n\"X\",\"M 0.0\",\"BOOL\",\"\"\n", 1,
                 tt::Type_Not_Fit},
        Bad_Case{"Not_An_Address", "126,MX 10\tTotal\tINT\t\n", 1, tt::Not_Address},
        Bad_Case{"Xml_Not_Well_Formed", "<Document><SW.Tags.PlcTagTable>\n<SW.Tags.PlcTag>\n</Document>\n", 0, 54}),
    [](const testing::TestParamInfo<Bad_Case>& info) { return std::string(info.param.label); });

TEST_F(Tags_Test, Mixed_Encoding_Is_Refused_Not_Guessed) {
    const qm::Tag_Read_Result result =
        qm::Read_Tag_File("126,M 0.0\tA\tBOOL\t\xC3\xBC\r\n126,M 0.1\tB\tBOOL\t\xFC\r\n");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.errors.front().line, 2);
}

} // namespace
