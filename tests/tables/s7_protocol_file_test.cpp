// S7_Protocol.xml: what is written, what is read back, and what a damaged file does.

#include <gtest/gtest.h>

#include <filesystem>

#include "table_test_support.h"
#include "tables/s7_protocol.h"

namespace qm {
namespace {

const std::vector<std::string> Read_Names = {
    "Enable", "PLC_Address", "PLC_Port", "PLC_Type", "Rack", "Slot", "Data_Type", "Data_Identifier", "DB_Number",
    "PLC_Area", "PLC_Add", "PLC_Bit", "PollTime", "Position", "Bit", "Swap", "SwapWord", "Mnemonic"};

Table_Row Read_Rule(const std::string& address) {
    return {"Y", address, "102", "S71200", "0", "1", "Int", "DB", "10", "Flags (M) (Merker)", "0", "0", "1000",
            "0", "0", "N", "N", "m"};
}

// A row element of the read section; the attribute named omit is left out.
std::string Row_Xml(const Table_Row& cells, const std::string& omit = {}) {
    std::string xml = "<row";
    for (std::size_t k = 0; k < Read_Names.size(); ++k) {
        if (Read_Names[k] != omit) {
            xml += " " + Read_Names[k] + "=\"" + cells[k] + "\"";
        }
    }
    return xml + "/>";
}

// A complete row element of the write section.
std::string Write_Row_Xml(const std::string& address) {
    Table_Row cells = Read_Rule(address);
    std::string xml = "<row";
    for (std::size_t k = 0; k < Read_Names.size(); ++k) {
        xml += " " + Read_Names[k] + "=\"" + cells[k] + "\"";
        if (Read_Names[k] == "PollTime") {
            xml += " OnChange=\"Y\" OnCMD=\"N\"";
        }
    }
    return xml + "/>";
}

TEST(S7ProtocolFile, WritesRootThenCommentWithEveryAttributeInOrder) {
    S7_Protocol_Data data = Reset_S7_Protocol();
    data.Read[0] = Read_Rule("192.168.1.10");
    data.Read[0][S7_Read_Col::Swap - 1] = ""; // never touched since the row was reset
    data.Read[0][S7_Read_Col::Mnemonic - 1] = "a<b>&\"c'";
    data.Write[0] = {"N", "10.0.0.1", "102", "S7300", "0", "2", "Real", "DB", "1", "Inputs (I)", "4", "0", "0",
                     "Y", "N", "7", "3", "N", "Y", ""};

    pugi::xml_document doc;
    Write_S7_Protocol_Xml(data, doc);

    EXPECT_EQ(Xml_To_String(doc),
              "<S7_Protocol><S7_Protocol_Read>"
              "<row Enable=\"Y\" PLC_Address=\"192.168.1.10\" PLC_Port=\"102\" PLC_Type=\"S71200\" Rack=\"0\" "
              "Slot=\"1\" Data_Type=\"Int\" Data_Identifier=\"DB\" DB_Number=\"10\" PLC_Area=\"Flags (M) (Merker)\" "
              "PLC_Add=\"0\" PLC_Bit=\"0\" PollTime=\"1000\" Position=\"0\" Bit=\"0\" Swap=\"\" SwapWord=\"N\" "
              "Mnemonic=\"a&lt;b>&amp;&quot;c'\"/>"
              "</S7_Protocol_Read><S7_Protocol_Write>"
              "<row Enable=\"N\" PLC_Address=\"10.0.0.1\" PLC_Port=\"102\" PLC_Type=\"S7300\" Rack=\"0\" Slot=\"2\" "
              "Data_Type=\"Real\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" PLC_Add=\"4\" "
              "PLC_Bit=\"0\" PollTime=\"0\" OnChange=\"Y\" OnCMD=\"N\" Position=\"7\" Bit=\"3\" Swap=\"N\" "
              "SwapWord=\"Y\" Mnemonic=\"\"/>"
              "</S7_Protocol_Write></S7_Protocol><!--SW_VERSION = 1.003-->");
}

TEST(S7ProtocolFile, EmptyListsGiveTwoEmptySections) {
    pugi::xml_document doc;
    Write_S7_Protocol_Xml(Reset_S7_Protocol(), doc);
    EXPECT_EQ(Xml_To_String(doc),
              "<S7_Protocol><S7_Protocol_Read/><S7_Protocol_Write/></S7_Protocol><!--SW_VERSION = 1.003-->");
}

TEST(S7ProtocolFile, ListEndsAtFirstBlankAddress) {
    for (const std::string blank : {"", "   ", "\t"}) {
        S7_Protocol_Data data = Reset_S7_Protocol();
        for (int i : {0, 1, 2, 4, 5}) {
            data.Read[static_cast<std::size_t>(i)] = Read_Rule("10.0.0." + std::to_string(i + 1));
        }
        data.Read[3][S7_Read_Col::PLC_Address - 1] = blank;
        data.Read[3][S7_Read_Col::PLC_Type - 1] = "S7300"; // the rest of the row does not matter

        pugi::xml_document doc;
        Write_S7_Protocol_Xml(data, doc);
        const auto rows = doc.child("S7_Protocol").child("S7_Protocol_Read").children("row");
        EXPECT_EQ(std::distance(rows.begin(), rows.end()), 3) << "blank address '" << blank << "'";
    }
}

// Every cell comes back exactly as typed, whatever characters it holds.
TEST(S7ProtocolFile, RoundTripKeepsEveryCellText) {
    const std::vector<std::string> texts = {
        " lead", "trail ", "  ", "a  b", "Grüße", "中文 ✓", "😀 𝄞", "line1\nline2", "crlf\r\nnext\r\n",
        "tab\there", "<&>\"'", "&amp; &#10;", "]]>", "", "Y", "N"};
    S7_Protocol_Data data = Reset_S7_Protocol();
    std::size_t t = 0;
    for (Table_Rows* table : {&data.Read, &data.Write}) {
        for (std::size_t i = 0; i < 20; ++i) {
            for (std::string& cell : (*table)[i]) {
                cell = texts[t++ % texts.size()];
            }
            std::string& address = (*table)[i][S7_Read_Col::PLC_Address - 1];
            address = "\n" + address + "x"; // never blank, so the list goes on
        }
    }
    test::Temp_Dir dir;
    const std::string path = dir.File("S7_Protocol.xml");
    ASSERT_TRUE(Save_S7_Protocol_File(path, data, false));

    const S7_Protocol_Read_Result back = Read_S7_Protocol_File(path);
    EXPECT_TRUE(back.info.complete) << back.info.Message();
    EXPECT_EQ(back.data.Read, data.Read);
    EXPECT_EQ(back.data.Write, data.Write);
}

TEST(S7ProtocolFile, FullListsOf512RulesComeBack) {
    S7_Protocol_Data data = Reset_S7_Protocol();
    for (int i = 0; i < S7_Rows; ++i) {
        data.Read[static_cast<std::size_t>(i)] = Read_Rule("10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256));
        data.Write[static_cast<std::size_t>(i)] = Table_Row(S7_Write_Col::Col_Count - 1, "w" + std::to_string(i));
    }
    data.Read.push_back(Read_Rule("1.1.1.1")); // a 513th row the table cannot have is never written

    test::Temp_Dir dir;
    const std::string path = dir.File("S7_Protocol.xml");
    ASSERT_TRUE(Save_S7_Protocol_File(path, data, false));
    const S7_Protocol_Read_Result back = Read_S7_Protocol_File(path);

    data.Read.pop_back();
    EXPECT_TRUE(back.info.complete) << back.info.Message();
    EXPECT_EQ(back.data.Read, data.Read);
    EXPECT_EQ(back.data.Write, data.Write);
}

TEST(S7ProtocolFile, MissingFileGivesResetTablesSilently) {
    test::Temp_Dir dir;
    const S7_Protocol_Read_Result read = Read_S7_Protocol_File(dir.File("S7_Protocol.xml"));
    EXPECT_EQ(read.info.status, Xml_Load_Status::Missing);
    EXPECT_TRUE(read.info.complete);
    EXPECT_TRUE(read.info.problems.empty());
    EXPECT_EQ(read.data.Read, Reset_S7_Protocol().Read);
    EXPECT_EQ(read.data.Read.size(), 512U);
    EXPECT_EQ(read.data.Read[0], (Table_Row{"Y", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
}

struct Default_Case {
    const char* name;
    std::string omit;      // attribute left out of the row
    int column;            // cell looked at
    std::string expected;  // its text after reading
};

void PrintTo(const Default_Case& c, std::ostream* out) {
    *out << c.name;
}


class S7ProtocolDefaults : public testing::TestWithParam<Default_Case> {};

TEST_P(S7ProtocolDefaults, MissingOptionalAttributeTakesItsDefault) {
    const Default_Case& c = GetParam();
    const std::string xml = "<S7_Protocol><S7_Protocol_Read>" + Row_Xml(Read_Rule("1.2.3.4"), c.omit) +
                            "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>";
    const S7_Protocol_Read_Result read = Read_S7_Protocol_Text(xml, "S7_Protocol.xml");
    ASSERT_TRUE(read.info.complete) << read.info.Message();
    EXPECT_EQ(Cell(read.data.Read[0], c.column), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, S7ProtocolDefaults,
    testing::Values(Default_Case{"EnableMissing", "Enable", S7_Read_Col::Enable, "Y"},
                    Default_Case{"RackMissing", "Rack", S7_Read_Col::Rack, "0"},
                    Default_Case{"SlotMissing", "Slot", S7_Read_Col::Slot, "0"},
                    Default_Case{"NothingMissing", "", S7_Read_Col::Slot, "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(S7ProtocolFile, WriteRowsWithoutTheirRequiredAttributesStopTheReading) {
    // The write section of this file lacks OnChange in its first row.
    const std::string xml = "<S7_Protocol><S7_Protocol_Read>" + Row_Xml(Read_Rule("1.2.3.4")) +
                            "</S7_Protocol_Read><S7_Protocol_Write>" + Row_Xml(Read_Rule("1.2.3.4")) +
                            "</S7_Protocol_Write></S7_Protocol>";
    const S7_Protocol_Read_Result read = Read_S7_Protocol_Text(xml, "S7_Protocol.xml");
    EXPECT_FALSE(read.info.complete);
    EXPECT_EQ(read.data.Read[0], Read_Rule("1.2.3.4"));
    EXPECT_EQ(read.data.Write[0], Reset_S7_Protocol().Write[0]);
    EXPECT_NE(read.info.Message().find("has no attribute OnChange"), std::string::npos) << read.info.Message();
}

TEST(S7ProtocolFile, MissingRequiredAttributeNamesFileLineRowAndAttribute) {
    const std::string xml = "<S7_Protocol>\n<S7_Protocol_Read>\n" + Row_Xml(Read_Rule("10.0.0.1")) + "\n" +
                            Row_Xml(Read_Rule("10.0.0.2"), "PLC_Port") + "\n" + Row_Xml(Read_Rule("10.0.0.3")) +
                            "\n</S7_Protocol_Read>\n<S7_Protocol_Write/>\n</S7_Protocol>";
    const S7_Protocol_Read_Result read = Read_S7_Protocol_Text(xml, "/cfg/S7_Protocol.xml");

    EXPECT_FALSE(read.info.complete);
    EXPECT_EQ(read.info.Message(), "/cfg/S7_Protocol.xml: line 4: row 2 of S7_Protocol_Read has no attribute "
                                   "PLC_Port; this row and the rest of the file were not loaded");
    EXPECT_EQ(read.data.Read[0], Read_Rule("10.0.0.1"));
    EXPECT_EQ(read.data.Read[1], Reset_S7_Protocol().Read[1]); // not half filled
    EXPECT_EQ(read.data.Read[2], Reset_S7_Protocol().Read[2]);
}

struct Damage_Case {
    const char* name;
    std::string tail;        // what follows two good rows
    const char* line_text;   // expected in the message
};

void PrintTo(const Damage_Case& c, std::ostream* out) {
    *out << c.name;
}


class S7ProtocolDamaged : public testing::TestWithParam<Damage_Case> {};

// A file that is not well-formed keeps the rows the parser finished and drops the one it broke in.
TEST_P(S7ProtocolDamaged, KeepsFinishedRowsAndNamesTheLine) {
    const std::string xml = "<S7_Protocol>\n<S7_Protocol_Read>\n" + Row_Xml(Read_Rule("10.0.0.1")) + "\n" +
                            Row_Xml(Read_Rule("10.0.0.2")) + "\n" + GetParam().tail;
    const S7_Protocol_Read_Result read = Read_S7_Protocol_Text(xml, "S7_Protocol.xml");

    EXPECT_EQ(read.info.status, Xml_Load_Status::Malformed);
    EXPECT_FALSE(read.info.complete);
    ASSERT_EQ(read.info.problems.size(), 1U) << read.info.Message();
    EXPECT_NE(read.info.problems[0].find("S7_Protocol.xml"), std::string::npos);
    EXPECT_NE(read.info.problems[0].find(GetParam().line_text), std::string::npos) << read.info.problems[0];
    EXPECT_EQ(read.data.Read[0], Read_Rule("10.0.0.1"));
    EXPECT_EQ(read.data.Read[1], Read_Rule("10.0.0.2"));
    EXPECT_EQ(read.data.Read[2], Reset_S7_Protocol().Read[2]);
    EXPECT_EQ(read.data.Write, Reset_S7_Protocol().Write);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, S7ProtocolDamaged,
    testing::Values(
        Damage_Case{"CutInsideARow", Row_Xml(Read_Rule("10.0.0.3")).substr(0, 60), "line 5"},
        Damage_Case{"UnquotedValue", "<row Enable=\"Y\" PLC_Address=\"10.0.0.3\" PLC_Port=102/>", "line 5"},
        Damage_Case{"CutAfterRows", "</S7_Protocol_Read>\n<S7_Protocol_Wri", "line 6"},
        Damage_Case{"GreaterThanInValueThenCut", "<row Enable=\"Y\" PLC_Address=\"a>b\" PLC_Port=\"", "line 5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(S7ProtocolFile, RowsBeyondTheTableAreReportedAndTheRestIsRead) {
    std::string xml = "<S7_Protocol><S7_Protocol_Read>";
    for (int i = 0; i < 515; ++i) {
        xml += Row_Xml(Read_Rule("10.0.0." + std::to_string(i % 250)));
    }
    xml += "</S7_Protocol_Read><S7_Protocol_Write>" + Write_Row_Xml("10.0.0.1") + "</S7_Protocol_Write></S7_Protocol>";
    const S7_Protocol_Read_Result read = Read_S7_Protocol_Text(xml, "S7_Protocol.xml");

    EXPECT_FALSE(read.info.complete);
    EXPECT_NE(read.info.Message().find("holds 515 rows but the table has room for 512; rows 513 to 515 were not loaded"),
              std::string::npos)
        << read.info.Message();
    EXPECT_EQ(read.data.Read.size(), 512U);
    EXPECT_EQ(read.data.Read[511], Read_Rule("10.0.0.11"));
    EXPECT_EQ(read.info.problems.size(), 1U);
    EXPECT_EQ(Cell(read.data.Write[0], S7_Write_Col::PLC_Address), "10.0.0.1"); // the next section still loads
    EXPECT_EQ(Cell(read.data.Write[0], S7_Write_Col::OnChange), "Y");
}

TEST(S7ProtocolFile, StructureOfTheDocument) {
    const std::string rule = Row_Xml(Read_Rule("10.0.0.1"));
    const std::string other = Row_Xml(Read_Rule("10.0.0.9"));
    struct Case {
        const char* name;
        std::string xml;
        bool complete;
        std::string first_address; // of read row 1 after reading
    };
    const Case cases[] = {
        {"root name is not checked", "<Anything><S7_Protocol_Read>" + rule + "</S7_Protocol_Read><S7_Protocol_Write/></Anything>",
         true, "10.0.0.1"},
        {"first section of a name counts",
         "<S7_Protocol><S7_Protocol_Read>" + rule + "</S7_Protocol_Read><S7_Protocol_Read>" + other +
             "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>",
         true, "10.0.0.1"},
        {"whitespace and comments between rows are not rows",
         "<S7_Protocol>\n  <S7_Protocol_Read>\n    <!-- note -->\n    " + rule +
             "\n  </S7_Protocol_Read>\n  <S7_Protocol_Write> </S7_Protocol_Write>\n</S7_Protocol>\n<!--SW_VERSION = 1.003-->",
         true, "10.0.0.1"},
        {"comment before the root hides the lists",
         "<!-- c --><S7_Protocol><S7_Protocol_Read>" + rule + "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>", false,
         ""},
        {"missing write section is reported, read rows stay",
         "<S7_Protocol><S7_Protocol_Read>" + rule + "</S7_Protocol_Read></S7_Protocol>", false, "10.0.0.1"},
        {"missing read section stops the reading",
         "<S7_Protocol><S7_Protocol_Write>" + rule + "</S7_Protocol_Write></S7_Protocol>", false, ""},
    };
    for (const Case& c : cases) {
        const S7_Protocol_Read_Result read = Read_S7_Protocol_Text(c.xml, "S7_Protocol.xml");
        EXPECT_EQ(read.info.complete, c.complete) << c.name << ": " << read.info.Message();
        EXPECT_EQ(read.info.problems.empty(), c.complete) << c.name;
        EXPECT_EQ(Cell(read.data.Read[0], S7_Read_Col::PLC_Address), c.first_address) << c.name;
    }
}

TEST(S7ProtocolFile, SaveKeepsTheOldFileOnlyWhenAskedAndSaysWhere) {
    test::Temp_Dir dir;
    const std::string path = dir.File("S7_Protocol.xml");
    test::Put(path, "<S7_Protocol>not read completely");
    S7_Protocol_Data data = Reset_S7_Protocol();
    data.Read[0] = Read_Rule("10.0.0.1");

    const Table_Save_Result kept = Save_S7_Protocol_File(path, data, true);
    ASSERT_TRUE(kept) << kept.message;
    EXPECT_EQ(kept.backup_path, path + ".backup-1");
    EXPECT_NE(kept.message.find(kept.backup_path), std::string::npos) << kept.message;
    EXPECT_EQ(test::Slurp(kept.backup_path), "<S7_Protocol>not read completely");
    EXPECT_EQ(Read_S7_Protocol_File(path).data.Read[0], Read_Rule("10.0.0.1"));

    const Table_Save_Result plain = Save_S7_Protocol_File(path, data, false);
    ASSERT_TRUE(plain) << plain.message;
    EXPECT_TRUE(plain.backup_path.empty());
    EXPECT_TRUE(plain.message.empty());
    EXPECT_FALSE(std::filesystem::exists(path + ".backup-2"));

    // Nothing to keep when there was no file.
    const Table_Save_Result fresh = Save_S7_Protocol_File(dir.File("new.xml"), data, true);
    ASSERT_TRUE(fresh) << fresh.message;
    EXPECT_TRUE(fresh.backup_path.empty());
}

TEST(S7ProtocolFile, FailedSaveGivesItsReasonAndLeavesTheFileAlone) {
    test::Temp_Dir dir;
    const std::string path = dir.File("S7_Protocol.xml");
    test::Put(path, "previous");
    // The temporary file the save writes first cannot be created when a folder has its name.
    Set_Fixed_Temporary_Names(true);
    std::filesystem::create_directory(path + ".tmp~");
    S7_Protocol_Data data = Reset_S7_Protocol();
    data.Read[0] = Read_Rule("10.0.0.1");

    const Table_Save_Result saved = Save_S7_Protocol_File(path, data, false);
    Set_Fixed_Temporary_Names(false);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.message.find(path), std::string::npos) << saved.message;
    EXPECT_EQ(test::Slurp(path), "previous");

    const Table_Save_Result nowhere = Save_S7_Protocol_File(dir.File("no/such/S7_Protocol.xml"), data, false);
    EXPECT_FALSE(nowhere);
    EXPECT_FALSE(nowhere.message.empty());
}

TEST(S7ProtocolFile, FolderInPlaceOfTheFileIsAProblem) {
    test::Temp_Dir dir;
    const std::string path = dir.File("S7_Protocol.xml");
    std::filesystem::create_directory(path);
    const S7_Protocol_Read_Result read = Read_S7_Protocol_File(path);
    EXPECT_EQ(read.info.status, Xml_Load_Status::Unreadable);
    EXPECT_FALSE(read.info.complete);
    EXPECT_NE(read.info.Message().find(path), std::string::npos);
}

} // namespace
} // namespace qm
