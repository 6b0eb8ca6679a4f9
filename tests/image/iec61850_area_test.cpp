#include "image/iec61850_area.h"

#include <gtest/gtest.h>

#include "image_test_support.h"

namespace qm::test {
namespace {

constexpr std::uint32_t B = 0xA0400; // device address of the header

Bytes Area(const Bytes& bank3) {
    return Bytes(bank3.begin() + 1024, bank3.end());
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t size) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + size));
}

TEST(IEC61850_Area, EmptyProjectGives1079Bytes) {
    Temp_Project project;
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    Bytes expected(1024, 0);
    const Bytes header = Hex("66 00 | 00 00 00 00 | 36 04 0A 00 | 00 00 00 00 | 00 00 00 00 | 36 04 0A 00 | 00 00 00 00 |"
                             "36 04 0A 00 | 00 00 00 00 | 00 00 00 00 | 36 04 0A 00 | 00 00 00 00 | 00 00 00 00 |"
                             "36 04 0A 00 | 00");
    expected.insert(expected.end(), header.begin(), header.end());
    EXPECT_TRUE(Bytes_Equal(expected, built.Bank(2)));
}

// Every string kind, every address rule, and the values that decide them, checked against an image
// assembled here by hand.
TEST(IEC61850_Area, FullAreaWithEveryStringKind) {
    Temp_Project project;
    project.Write("ParGen.xml",
                  ParGen_Xml("<IEC61850_Server_Port>2404</IEC61850_Server_Port>"
                             "<IEC61850_Server_Password>p\u03A9</IEC61850_Server_Password>"
                             "<TLS_Server_Enable>1</TLS_Server_Enable><TLS_Server_Key>K\u20ACy</TLS_Server_Key>"
                             "<TLS_Server_Key_Password>pw</TLS_Server_Key_Password>"
                             "<TLS_Server_Server_Certificate>SC</TLS_Server_Server_Certificate>"
                             "<TLS_Server_Root_Certificate></TLS_Server_Root_Certificate>"
                             "<TLS_Server_Enable_Known_Cert>01</TLS_Server_Enable_Known_Cert>"
                             "<NTP_Server_URL>ntp.example</NTP_Server_URL>"));
    project.Write("TLS_Known_Cert.xml",
                  Certs_Xml(R"(<row Enable="Y" Certificate="C1" Mnemonic="a"/><row Enable="N" Certificate="off"/>)"
                            R"(<row Enable="Y" Certificate=""/><row Enable="Y" Certificate="C€"/>)"));
    project.Write("IEC61850_Variables.xml",
                  Variables_Xml(
                      R"(<row Enable="Y" Name="V1" Type="Int" Length="2" ReadOnly="y " Position="10" StartBit="")"
                      R"( Conversion="int to float" MultiplicationFactor="0,5" Swap="Y" SwapWord="Y" Mnemonic="m"/>)"
                      R"(<row Enable="N" Name="skipped" Type="Float"/>)"
                      R"~(<row Enable="Y" Name="" Type="Digital (Bit)" Length="4" Position="$20" StartBit="3")~"
                      R"( Conversion=" Float to Int " MultiplicationFactor="none" Swap="N"/>)"
                      R"(<row Enable="Y" Name="😀x" Type=" float" Length="-1" ReadOnly="N" Position="1437")"
                      R"( Conversion="None" MultiplicationFactor="abc" SwapWord="Y"/>)"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;

    // Offsets from the header: 3 known entries end at 78, 3 variables at 174 (the marker), pool from 175.
    Bytes expected;
    Append_U16(expected, 2404);
    Append_U32(expected, 1);          // TLS_Enable
    Append_U32(expected, B + 175);    // key "K€y", 5 bytes
    Append_U32(expected, 5);
    Append_U32(expected, B + 181);    // key pass phrase "pw"
    Append_U32(expected, B + 184);    // server certificate "SC"
    Append_U32(expected, 2);
    Append_U32(expected, B + 174);    // empty root certificate: the marker
    Append_U32(expected, 0);
    Append_U32(expected, 3);          // known certificates, 01 reads as 1
    Append_U32(expected, B + 54);
    Append_U32(expected, B + 187);    // password, two code units
    Append_U32(expected, 3);          // variables
    Append_U32(expected, B + 78);
    // Known certificate entries; the empty one points at what follows it.
    Append_U32(expected, B + 190);
    Append_U32(expected, 2);
    Append_U32(expected, B + 193);
    Append_U32(expected, 0);
    Append_U32(expected, B + 193);
    Append_U32(expected, 4);
    // Variable entries: name, type, position, start bit, length, read only, factor, operation, options.
    for (const std::uint32_t v : {B + 198, 4U, 10U, 0U, 2U, 1U, 0x3F000000U}) {
        Append_U32(expected, v);
    }
    Append_U16(expected, 1);
    Append_U16(expected, 3);
    for (const std::uint32_t v : {B + 201, 2U, 32U, 3U, 1U, 0U, 0x3F800000U}) {
        Append_U32(expected, v);
    }
    Append_U16(expected, 2);
    Append_U16(expected, 0);
    for (const std::uint32_t v : {B + 201, 6U, 1437U, 0U, 0xFFFFFFFFU, 0U, 0x3F800000U}) {
        Append_U32(expected, v);
    }
    Append_U16(expected, 0);
    Append_U16(expected, 2);
    expected.push_back(0); // marker
    ASSERT_EQ(expected.size(), 175U);
    const Bytes pool = Hex("4B E2 82 AC 79 00 | 70 77 00 | 53 43 00 | 70 A9 00 | 43 31 00 | 43 E2 82 AC 00 |"
                           "56 31 00 | 3D 00 78 00");
    expected.insert(expected.end(), pool.begin(), pool.end());

    const Bytes bank3 = built.Bank(2);
    ASSERT_EQ(bank3.size(), 1024U + 205U);
    EXPECT_TRUE(Bytes_Equal(expected, Area(bank3), 0x400));
    Bytes ntp(1024, 0);
    const std::string url = "ntp.example";
    std::copy(url.begin(), url.end(), ntp.begin());
    EXPECT_TRUE(Bytes_Equal(ntp, Slice(bank3, 0, 1024)));
}

struct Header_Case {
    const char* name;
    const char* pargen;     // children of Par_Gen
    std::size_t offset;     // in the header
    const char* expected;
};

class Header_Field_Test : public ::testing::TestWithParam<Header_Case> {};

TEST_P(Header_Field_Test, Stores) {
    const Header_Case& c = GetParam();
    Temp_Project project;
    project.Write("ParGen.xml", ParGen_Xml(c.pargen));
    project.Write("TLS_Known_Cert.xml", Certs_Xml(R"(<row Enable="Y" Certificate="A"/><row Certificate="B"/>)"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes expected = Hex(c.expected);
    EXPECT_TRUE(Bytes_Equal(expected, Slice(built.Bank(2), 1024 + c.offset, expected.size()), 0x400 + c.offset));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Header_Field_Test,
    ::testing::Values(
        Header_Case{"PortFallback", "<IEC61850_Server_Port>x</IEC61850_Server_Port>", 0, "66 00"},
        Header_Case{"PortLow16Bits", "<IEC61850_Server_Port>70000</IEC61850_Server_Port>", 0, "70 11"},
        Header_Case{"PortHex", "<IEC61850_Server_Port>$FFFF</IEC61850_Server_Port>", 0, "FF FF"},
        Header_Case{"TlsEnableWholeNumber", "<TLS_Server_Enable>2</TLS_Server_Enable>", 2, "02 00 00 00"},
        Header_Case{"TlsEnableNegative", "<TLS_Server_Enable>-1</TLS_Server_Enable>", 2, "FF FF FF FF"},
        Header_Case{"TlsEnableWord", "<TLS_Server_Enable>yes</TLS_Server_Enable>", 2, "00 00 00 00"},
        // Known certificates only with both values exactly 1.
        Header_Case{"KnownWithBothOne",
                    "<TLS_Server_Enable>1</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>",
                    34, "01 00 00 00 36 04 0A 00"},
        Header_Case{"KnownEnTwo",
                    "<TLS_Server_Enable>1</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>2</TLS_Server_Enable_Known_Cert>",
                    34, "00 00 00 00 36 04 0A 00"},
        Header_Case{"TlsTwo",
                    "<TLS_Server_Enable>2</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>",
                    34, "00 00 00 00 36 04 0A 00"},
        Header_Case{"TlsHexOne",
                    "<TLS_Server_Enable>$1</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>+1</TLS_Server_Enable_Known_Cert>",
                    34, "01 00 00 00"},
        // Key and certificates reach the image with TLS off too.
        Header_Case{"KeyWithTlsOff", "<TLS_Server_Key>k</TLS_Server_Key>", 6, "37 04 0A 00 01 00 00 00"},
        Header_Case{"BlankPasswordIsAString", "<IEC61850_Server_Password> </IEC61850_Server_Password>", 42,
                    "37 04 0A 00"}),
    [](const ::testing::TestParamInfo<Header_Case>& p) { return std::string(p.param.name); });

TEST(IEC61850_Area, KnownCertificatesStayOutWithTlsOff) {
    Temp_Project project;
    project.Write("ParGen.xml",
                  ParGen_Xml("<TLS_Server_Enable>0</TLS_Server_Enable>"
                             "<TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>"));
    project.Write("TLS_Known_Cert.xml",
                  Certs_Xml(R"(<row Enable="Y" Certificate="A"/><row Enable="Y" Certificate="B"/>)"
                            R"(<row Enable="Y" Certificate="C"/>)"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes area = Area(built.Bank(2));
    ASSERT_EQ(area.size(), 55U); // header and marker only
    EXPECT_TRUE(Bytes_Equal(Hex("00 00 00 00 36 04 0A 00"), Slice(area, 34, 8), 0x400 + 34));
    EXPECT_TRUE(Bytes_Equal(Hex("36 04 0A 00"), Slice(area, 50, 4), 0x400 + 50)); // Var_Add
    EXPECT_EQ(built.image->IEC61850.TLS_Data.Known_Cert_Num, 3U); // read all the same
}

TEST(IEC61850_Area, TwoKnownCertificatesAndNothingElse) {
    Temp_Project project;
    project.Write("ParGen.xml",
                  ParGen_Xml("<TLS_Server_Enable>1</TLS_Server_Enable>"
                             "<TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>"));
    project.Write("TLS_Known_Cert.xml",
                  Certs_Xml(R"(<row Enable="Y" Certificate="AB"/><row Enable="Y" Certificate="CDE"/>)"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes expected = Hex("66 00 | 01 00 00 00 | 46 04 0A 00 | 00 00 00 00 | 00 00 00 00 | 46 04 0A 00 |"
                               "00 00 00 00 | 46 04 0A 00 | 00 00 00 00 | 02 00 00 00 | 36 04 0A 00 | 00 00 00 00 |"
                               "00 00 00 00 | 46 04 0A 00 |"
                               "47 04 0A 00 02 00 00 00 | 4A 04 0A 00 03 00 00 00 | 00 | 41 42 00 43 44 45 00");
    EXPECT_TRUE(Bytes_Equal(expected, Area(built.Bank(2)), 0x400));
}

TEST(IEC61850_Area, NtpTextAreaTakesLowBytesOfTheFirst1024CodeUnits) {
    const auto area_of = [](std::string_view head, std::size_t repeat = 0, char fill = 0) {
        Bytes area(repeat, static_cast<std::uint8_t>(fill));
        const Bytes tail = Hex(head);
        area.insert(area.end(), tail.begin(), tail.end());
        area.resize(1024, 0);
        return area;
    };
    const struct {
        std::string text;
        Bytes area;
    } cases[] = {
        {std::string(1023, 'a') + "\u0151", area_of("51", 1023, 'a')}, // 1024 code units: no zero byte
        {std::string(1030, 'b'), area_of("", 1024, 'b')},                // the rest is dropped
        {"t\u00E9\u0100", area_of("74 E9 00")},                          // U+0100 gives 00
        {"\U0001F600!", area_of("3D 00 21")},                             // surrogate pair D83D DE00
    };
    for (const auto& c : cases) {
        Temp_Project project;
        project.Write("ParGen.xml", ParGen_Xml("<NTP_Server_URL>" + c.text + "</NTP_Server_URL>"));
        const Built built = Build(project);
        ASSERT_TRUE(built.result) << built.result.message;
        const Bytes bank3 = built.Bank(2);
        EXPECT_EQ(bank3.size(), 1079U);
        EXPECT_TRUE(Bytes_Equal(c.area, Slice(bank3, 0, 1024)));
        EXPECT_EQ(built.image->Block.U32(Param_Offset::NTP_Text_Address), 0xA0000U);
    }
}

TEST(IEC61850_Area, VariableValues) {
    const struct {
        const char* attributes;
        std::size_t offset; // in the Var_Entry
        const char* expected;
    } cases[] = {
        {R"~(Type="Digital (Bit)" Length="4")~", 4, "02 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00"},
        {R"(Type="DIGITAL (BIT) " Length="x")", 16, "01 00 00 00"},
        {R"(Type="Bool" Length="3")", 4, "04 00 00 00"},
        {R"(Length="3 ")", 16, "00 00 00 00"},
        {R"(MultiplicationFactor="0,5")", 24, "00 00 00 3F"},
        {R"(MultiplicationFactor="0.5")", 24, "00 00 00 3F"},
        {R"(MultiplicationFactor=" -2E1 ")", 24, "00 00 A0 C1"},
        {R"(MultiplicationFactor="none")", 24, "00 00 80 3F"},
        {R"(MultiplicationFactor="1.000,5")", 24, "00 00 80 3F"},
        {R"(MultiplicationFactor="x")", 24, "00 00 80 3F"},
        {R"(MultiplicationFactor="")", 24, "00 00 80 3F"},
        {"", 24, "00 00 80 3F"},
        {R"(Conversion="FLOAT TO INT")", 28, "02 00"},
        {R"(Conversion="Int2Float")", 28, "00 00"},
        {R"(Swap="Y" SwapWord="y")", 30, "01 00"},
        {R"(ReadOnly=" y")", 20, "01 00 00 00"},
        {R"(ReadOnly="Yes")", 20, "00 00 00 00"},
        {R"(Position="-1" StartBit="$FF")", 8, "FF FF FF FF FF 00 00 00"},
    };
    for (const auto& c : cases) {
        Temp_Project project;
        project.Write("IEC61850_Variables.xml", Variables_Xml(std::string(R"(<row Enable="Y" )") + c.attributes + "/>"));
        const Built built = Build(project);
        ASSERT_TRUE(built.result) << built.result.message;
        const Bytes expected = Hex(c.expected);
        EXPECT_TRUE(Bytes_Equal(expected, Slice(Area(built.Bank(2)), 54 + c.offset, expected.size()), c.offset))
            << c.attributes;
    }
}

TEST(IEC61850_Area, OnlyEnabledVariablesTakeAnEntry) {
    Temp_Project project;
    project.Write("IEC61850_Variables.xml",
                  Variables_Xml(R"(<row Enable="Y" Name="A"/><row Enable="N" Name="B"/><row Name="C"/>)"
                                R"(<!--c--><row Enable="Y" Name="D"/>)"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes area = Area(built.Bank(2));
    ASSERT_EQ(area.size(), 54U + 64U + 1U + 4U);
    EXPECT_TRUE(Bytes_Equal(Hex("41 00 44 00"), Slice(area, 119, 4), 0x400 + 119));
    EXPECT_TRUE(Bytes_Equal(Hex("77 04 0A 00"), Slice(area, 54, 4), 0x400 + 54));
    EXPECT_TRUE(Bytes_Equal(Hex("79 04 0A 00"), Slice(area, 86, 4), 0x400 + 86));
}

TEST(IEC61850_Area, OversizedAreaIsRefusedWithSizeAndLimit) {
    std::string certs;
    for (int i = 0; i < 10; ++i) {
        certs += R"(<row Enable="Y" Certificate=")" + std::string(14000, 'c') + R"("/>)";
    }
    Temp_Project project;
    project.Write("TLS_Known_Cert.xml", Certs_Xml(certs));
    project.Write("ParGen.xml", ParGen_Xml("<TLS_Server_Enable>1</TLS_Server_Enable>"));
    Built built = Build(project); // not in the image: fits
    ASSERT_TRUE(built.result) << built.result.message;
    EXPECT_EQ(built.Bank(2).size(), 1079U);

    project.Write("ParGen.xml", ParGen_Xml("<TLS_Server_Enable>1</TLS_Server_Enable>"
                                           "<TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>"));
    built = Build(project);
    EXPECT_EQ(built.result.status, Build_Status::Over_Limit);
    const std::size_t size = 1024 + 54 + 80 + 1 + 10 * 14001;
    EXPECT_NE(built.result.message.find(std::to_string(size) + " bytes"), std::string::npos) << built.result.message;
    EXPECT_NE(built.result.message.find("131072"), std::string::npos) << built.result.message;
    EXPECT_FALSE(built.image->Complete);
}

TEST(IEC61850_Area, LargestAreaThatFitsIsBuilt) {
    // 1024 + 54 + 32 + 1 + name + zero = 131072 exactly.
    const std::size_t name = 131072 - 1024 - 54 - 32 - 1 - 1;
    Temp_Project project;
    project.Write("IEC61850_Variables.xml",
                  Variables_Xml(R"(<row Enable="Y" Name=")" + std::string(name, 'n') + R"("/>)"));
    Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    EXPECT_EQ(built.Bank(2).size(), 131072U);
    EXPECT_EQ(built.Bank(2).back(), 0);

    project.Write("IEC61850_Variables.xml",
                  Variables_Xml(R"(<row Enable="Y" Name=")" + std::string(name + 1, 'n') + R"("/>)"));
    built = Build(project);
    EXPECT_EQ(built.result.status, Build_Status::Over_Limit);
}

TEST(IEC61850_Area, TextsThatAreNotUtf8StopTheBuild) {
    const struct {
        const char* file;
        std::string content;
        const char* field;
    } cases[] = {
        {"ParGen.xml", ParGen_Xml("<IEC61850_Server_Password>a\xFF</IEC61850_Server_Password>"),
         "element IEC61850_Server_Password"},
        {"ParGen.xml", ParGen_Xml("<NTP_Server_URL>\xC3</NTP_Server_URL>"), "element NTP_Server_URL"},
        {"IEC61850_Variables.xml", Variables_Xml("<row Enable=\"N\"/><row Enable=\"Y\" Name=\"\xED\xA0\x80\"/>"),
         "row 2, attribute Name"},
        {"TLS_Known_Cert.xml", Certs_Xml("<row Enable=\"Y\" Certificate=\"\xC0\xAF\"/>"), "row 1, attribute Certificate"},
    };
    for (const auto& c : cases) {
        Temp_Project project;
        project.Write(c.file, c.content);
        const Built built = Build(project);
        EXPECT_EQ(built.result.status, Build_Status::Unreadable_Input) << c.field;
        EXPECT_NE(built.result.message.find(c.file), std::string::npos) << built.result.message;
        EXPECT_NE(built.result.message.find(c.field), std::string::npos) << built.result.message;
    }
}

TEST(IEC61850_Area, Latin1FileIsReadAsItsDeclarationSays) {
    Temp_Project project;
    project.Write("ParGen.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Par_Gen>"
                                "<IEC61850_Server_Password>\xE9</IEC61850_Server_Password>"
                                "<TLS_Server_Key>\xE9</TLS_Server_Key></Par_Gen>");
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    // Key first as UTF-8 (C3 A9), then the password as its low byte.
    EXPECT_TRUE(Bytes_Equal(Hex("00 C3 A9 00 E9 00"), Slice(Area(built.Bank(2)), 54, 6), 0x400 + 54));
}

} // namespace
} // namespace qm::test
