// Inputs no editor writes but a hand or another tool may: huge lists, huge texts, deep nesting,
// line ends and characters above U+FFFF in values. Each is handled in bounded time and memory
// or refused with a message naming the file; the large ones are measured by qm_large_inputs.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "common/xml_io.h"
#include "fault_env.h"
#include "image/image_builder.h"
#include "parameters/par_gen.h"
#include "shell/settings.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// A value as an editor holds it, through its file and back.
struct Value_Path {
    const char* name;
    std::function<std::string(const std::string& value)> round_trip;
};

const Value_Path Value_Paths[] = {
    {"SettingsProjectName",
     [](const std::string& v) {
         Settings_Data s;
         s.Project_Name = v;
         pugi::xml_document doc;
         EXPECT_TRUE(Load_Xml_Text(Settings_To_Xml(s), "Quillmaker.xml", doc).ok());
         return Read_Settings(doc).Project_Name;
     }},
    {"ParGenKey",
     [](const std::string& v) {
         Par_Gen_Set set = Par_Gen_Defaults();
         set[Par_Id::TLS_Server_Key] = v;
         return Read_Par_Gen_Text(Par_Gen_To_Xml(set), "ParGen.xml").set[Par_Id::TLS_Server_Key];
     }},
    {"S7Mnemonic",
     [](const std::string& v) {
         S7_Protocol_Data data = Reset_S7_Protocol();
         data.Write[0][S7_Write_Col::PLC_Address - 1] = "10.0.0.1";
         data.Write[0][S7_Write_Col::Mnemonic - 1] = v;
         pugi::xml_document doc;
         Write_S7_Protocol_Xml(data, doc);
         return Read_S7_Protocol_Text(Xml_To_String(doc), "S7_Protocol.xml").data.Write[0][S7_Write_Col::Mnemonic - 1];
     }},
    {"VariableName",
     [](const std::string& v) {
         Table_Rows rows = Reset_IEC61850_Variables();
         rows[0][Var_Col::Name - 1] = "x" + v;
         pugi::xml_document doc;
         Write_IEC61850_Variables_Xml(rows, doc);
         return Read_IEC61850_Variables_Text(Xml_To_String(doc), "IEC61850_Variables.xml").rows[0][Var_Col::Name - 1].substr(1);
     }},
    {"Certificate",
     [](const std::string& v) {
         Table_Rows rows = Reset_TLS_Known_Cert();
         rows[0][Cert_Col::Certificate - 1] = "x" + v;
         pugi::xml_document doc;
         Write_TLS_Known_Cert_Xml(rows, doc);
         return Read_TLS_Known_Cert_Text(Xml_To_String(doc), "TLS_Known_Cert.xml").rows[0][Cert_Col::Certificate - 1].substr(1);
     }},
};

class Value_Survives_A_Save : public ::testing::TestWithParam<Value_Path> {};

TEST_P(Value_Survives_A_Save, LineEndsBlanksAndAstralCharacters) {
    for (const std::string value : {"a\rb", "a\r\nb\n", "\r", "  two  ", "\ttab", "<&>\"'",
                                    "\xF0\x9F\x98\x80 \xF0\x9D\x94\x98"}) {
        EXPECT_EQ(GetParam().round_trip(value), value) << "value with bytes of \"" << value << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryEditor, Value_Survives_A_Save, ::testing::ValuesIn(Value_Paths),
                         [](const auto& info) { return std::string(info.param.name); });

class Project : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = scratch_ / "Plant";
        fs::create_directories(dir_ + "/bin");
    }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }
    Build_Result Build() {
        image_ = std::make_unique<Device_Image>();
        return Build_Device_Image(*image_, Build_Files_In(dir_));
    }

    Scratch_Folder scratch_;
    std::string dir_;
    std::unique_ptr<Device_Image> image_;
};

TEST_F(Project, HundredThousandRulesLoad512AndTheBuildRefusesNamingTheFile) {
    std::string xml = "<S7_Protocol><S7_Protocol_Read>";
    const std::string row = "<row Enable=\"Y\" PLC_Address=\"10.0.0.1\" PLC_Port=\"102\" PLC_Type=\"S71500\" "
                            "Data_Type=\"Word\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" "
                            "PLC_Add=\"0\" PLC_Bit=\"0\" PollTime=\"100\" Position=\"0\" Bit=\"0\" Swap=\"N\" "
                            "SwapWord=\"N\" Mnemonic=\"m\"/>";
    for (int i = 0; i < 100000; ++i) {
        xml += row;
    }
    xml += "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>";
    Write_Text(File("S7_Protocol.xml"), xml);

    const S7_Protocol_Read_Result read = Read_S7_Protocol_File(File("S7_Protocol.xml"));
    EXPECT_EQ(List_Length(read.data.Read, S7_Read_Col::PLC_Address, S7_Rows), S7_Rows);
    EXPECT_FALSE(read.info.complete) << "the rows beyond 512 must not vanish silently";
    EXPECT_NE(read.info.Message().find("100000 rows"), std::string::npos) << read.info.Message();

    const Build_Result built = Build();
    EXPECT_EQ(built.status, Build_Status::Over_Limit);
    EXPECT_NE(built.message.find(File("S7_Protocol.xml")), std::string::npos) << built.message;
    EXPECT_NE(built.message.find("1024"), std::string::npos) << built.message;
}

TEST_F(Project, CertificateOfTenMegabytesIsRefusedByTheBuild) {
    const std::string cert(10 * 1024 * 1024, 'A');
    Write_Text(File("TLS_Known_Cert.xml"),
               "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"" + cert + "\" Mnemonic=\"\"/></TLS_Server_Known_Cert>");
    Par_Gen_Set set = Par_Gen_Defaults();
    set.Set_Flag(Par_Id::TLS_Server_Enable, true);
    set.Set_Flag(Par_Id::TLS_Server_Enable_Known_Cert, true);
    ASSERT_TRUE(Save_Par_Gen(set, File("ParGen.xml"), false).ok);

    const Table_Read_Result read = Read_TLS_Known_Cert_File(File("TLS_Known_Cert.xml"));
    EXPECT_EQ(read.rows[0][Cert_Col::Certificate - 1].size(), cert.size());

    const Build_Result built = Build();
    EXPECT_EQ(built.status, Build_Status::Over_Limit);
    EXPECT_NE(built.message.find("131072"), std::string::npos) << built.message;
    EXPECT_FALSE(Write_Bank_Files(*image_, dir_));
}

TEST_F(Project, NtpTextOfOneMegabyteIsKeptWholeAndCutToTheAreaInTheImage) {
    Par_Gen_Set set = Par_Gen_Defaults();
    std::string ntp;
    while (ntp.size() < 1024 * 1024) {
        ntp += "ntp.example.org ";
    }
    set[Par_Id::NTP_Server_URL] = ntp;
    ASSERT_TRUE(Save_Par_Gen(set, File("ParGen.xml"), false).ok);
    EXPECT_EQ(Read_Par_Gen(File("ParGen.xml")).set[Par_Id::NTP_Server_URL], ntp);

    ASSERT_TRUE(Build()) << "a long text is cut to its area, not refused";
    const std::string area(reinterpret_cast<const char*>(image_->Banks[2].data()), 1024);
    EXPECT_EQ(area, ntp.substr(0, 1024));
    EXPECT_EQ(image_->Banks[2].length, 1079U);
}

TEST_F(Project, DeepNestingIsReadWithoutRecursion) {
    // Two hundred thousand levels: far beyond any stack, should a reader walk the tree recursively.
    std::string open;
    std::string close;
    for (int i = 0; i < 200000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    Write_Text(File("ParGen.xml"), "<Par_Gen>" + open + close + "<NTP_Poll_Time>77</NTP_Poll_Time></Par_Gen>");
    Write_Text(File("S7_Protocol.xml"), "<S7_Protocol><S7_Protocol_Read>" + open + close + "</S7_Protocol_Read></S7_Protocol>");
    Write_Text(File("IEC61850_Variables.xml"), "<IEC61850_Variables>" + open + close + "</IEC61850_Variables>");
    Write_Text(File("TLS_Known_Cert.xml"), "<TLS_Server_Known_Cert>" + open + "</TLS_Server_Known_Cert>");

    EXPECT_EQ(Read_Par_Gen(File("ParGen.xml")).set[Par_Id::NTP_Poll_Time], "77");
    // An S7comm row must carry its attributes; the nested one does not, and that is reported.
    const S7_Protocol_Read_Result rules = Read_S7_Protocol_File(File("S7_Protocol.xml"));
    EXPECT_FALSE(rules.info.complete);
    EXPECT_NE(rules.info.Message().find(File("S7_Protocol.xml")), std::string::npos);
    EXPECT_TRUE(Read_IEC61850_Variables_File(File("IEC61850_Variables.xml")).info.complete);
    const Table_Read_Result certs = Read_TLS_Known_Cert_File(File("TLS_Known_Cert.xml"));
    EXPECT_FALSE(certs.info.complete);
    EXPECT_NE(certs.info.Message().find(File("TLS_Known_Cert.xml")), std::string::npos);

    const Build_Result built = Build();
    EXPECT_EQ(built.status, Build_Status::Unreadable_Input) << "the unclosed file stops the build";
    EXPECT_NE(built.message.find(File("TLS_Known_Cert.xml")), std::string::npos) << built.message;
}

} // namespace
} // namespace qm::test
