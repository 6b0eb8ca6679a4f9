// The report's content, read back from its text form; secrets; the language of its labels.

#include "review/report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "image/image_builder.h"
#include "language/lang_table.h"
#include "review/sha256.h"
#include "review_fixtures.h"

namespace qm {
namespace {

// The text form's tables: a title underlined with '-', a header row, a rule, then rows.
struct Text_Table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '|') {
            cell += '|';
            ++i;
        } else if (line[i] == '|') {
            const auto first = cell.find_first_not_of(' ');
            const auto last = cell.find_last_not_of(' ');
            cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
            cell.clear();
        } else {
            cell += line[i];
        }
    }
    return cells;
}

// The table after the line `title`, or after the first heading `title` when tables have none.
Text_Table Table_After(const std::string& text, const std::string& title) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line) && line != title) {
    }
    Text_Table table;
    while (std::getline(in, line) && !line.starts_with("|")) {
    }
    if (!line.starts_with("|")) return table;
    table.header = Cells(line);
    std::getline(in, line); // the rule under the header
    while (std::getline(in, line) && line.starts_with("|")) table.rows.push_back(Cells(line));
    return table;
}

std::string Value_Of(const Text_Table& table, const std::string& key) {
    for (const auto& row : table.rows) {
        if (!row.empty() && row[0] == key) return row.back();
    }
    return "(no row " + key + ")";
}

class Report_Content : public testing::Test {
protected:
    void SetUp() override {
        Load_Default_Strings();
        folder_ = scratch_.Folder("Plant A");
        test::Put_Par_Gen(folder_, test::Secret_Elements() + "<IEC61850_Server_Port>8102</IEC61850_Server_Port>"
                                   "<TLS_Server_Root_Certificate>-----BEGIN CERTIFICATE-----\nROOT\n-----END CERTIFICATE-----"
                                   "</TLS_Server_Root_Certificate><NTP_Poll_Time>20000000</NTP_Poll_Time>");
        test::Put_Rules(folder_, {test::Read_Rule(1, 500, "Pumpe | 1"),
                                  "<row Enable=\"N\" PLC_Address=\"10.0.0.2\" PLC_Port=\"x\" PLC_Type=\"S7300\" Rack=\"0\" "
                                  "Slot=\"2\" Data_Type=\"Int\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" "
                                  "PLC_Add=\"0\" PLC_Bit=\"0\" PollTime=\"1\" Position=\"0\" Bit=\"0\" Swap=\"\" SwapWord=\"\" "
                                  "Mnemonic=\"spare\"/>",
                                  test::Read_Rule(3, 0)});
        test::Put(folder_ + "/TLS_Known_Cert.xml",
                  "<TLS_Server_Known_Cert><row Enable=\"N\" Certificate=\"-----BEGIN CERTIFICATE-----&#10;MIIB&#10;"
                  "-----END CERTIFICATE-----\" Mnemonic=\"SCADA\"/></TLS_Server_Known_Cert>");
    }

    Report Make(bool show_secrets = false) const {
        Report_Options options;
        options.show_secrets = show_secrets;
        options.date_time = "2026-01-02 03:04:05";
        return Make_Report(folder_, options);
    }

    test::Scratch scratch_;
    std::string folder_;
};

TEST_F(Report_Content, Text_Form_Holds_Header_Parameters_And_Rows) {
    const std::string text = Report_Text(Make());
    EXPECT_TRUE(text.starts_with("Configuration Report\n====================\n")) << text.substr(0, 200);
    EXPECT_NE(text.find("Configuration: Plant A\n"), std::string::npos);
    EXPECT_NE(text.find("Date and time: 2026-01-02 03:04:05\n"), std::string::npos);
    EXPECT_NE(text.find("Software code: CF39174 - "), std::string::npos);

    const Text_Table parameters = Table_After(text, "Communication Parameters");
    ASSERT_EQ(parameters.rows.size(), 41U);
    EXPECT_EQ(parameters.header, (std::vector<std::string>{"Element", "Label", "Value"}));
    EXPECT_EQ(parameters.rows[31], (std::vector<std::string>{"IEC61850_Server_Port", "IEC61850 Server / Port", "8102"}));
    EXPECT_EQ(Value_Of(parameters, "S7_Protocol_IP1"), "192"); // a default, as the window shows it
    EXPECT_EQ(Value_Of(parameters, "IEC61850_Server_Password"), "set");
    EXPECT_EQ(Value_Of(parameters, "TLS_Server_Key"), "set");
    EXPECT_EQ(Value_Of(parameters, "TLS_Server_Key_Password"), "set");
    EXPECT_EQ(Value_Of(parameters, "TLS_Server_Server_Certificate"), "empty");
    EXPECT_EQ(Value_Of(parameters, "TLS_Server_Root_Certificate").substr(0, 61),
              "\"-----BEGIN CERTIFICATE-----\" ... \"-----END CERTIFICATE-----\"");

    const Text_Table read = Table_After(text, "S7comm Read");
    ASSERT_EQ(read.rows.size(), 3U);
    EXPECT_EQ(read.header.size(), 19U);
    EXPECT_EQ(read.header[2], "PLC Address");
    EXPECT_EQ(read.rows[0][2], "192.168.0.1");
    EXPECT_EQ(read.rows[0][18], "Pumpe | 1");
    EXPECT_EQ(read.rows[1][0], "2 (disabled)");
    EXPECT_EQ(read.rows[2][0], "3");

    const Text_Table certs = Table_After(text, "TLS Known Certificates");
    ASSERT_EQ(certs.rows.size(), 1U);
    const std::string cert = "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----";
    EXPECT_EQ(certs.rows[0], (std::vector<std::string>{"1 (disabled)", "N", "-----BEGIN CERTIFICATE-----",
                                                       "-----END CERTIFICATE-----", Sha256_Hex(cert), "SCADA"}));
    EXPECT_EQ(text.find("MIIB"), std::string::npos); // a certificate is never printed whole
}

// The lists as the device gets them: a row after a blank name is listed, an Enable of " Y" or ""
// is off, and the check result says where the windows read otherwise.
TEST_F(Report_Content, Lists_Show_What_The_Device_Gets_And_Warn) {
    test::Put(folder_ + "/IEC61850_Variables.xml",
              "<IEC61850_Variables><row Enable=\" Y\" Name=\"V1\"/><row Enable=\"Y\" Name=\"\"/>"
              "<row Enable=\"Y\" Name=\"V3\"/></IEC61850_Variables>");
    test::Put(folder_ + "/TLS_Known_Cert.xml",
              "<TLS_Server_Known_Cert><row Enable=\"\" Certificate=\"C1\" Mnemonic=\"\"/></TLS_Server_Known_Cert>");
    const std::string text = Report_Text(Make());
    const Text_Table variables = Table_After(text, "IEC61850 Variables");
    ASSERT_EQ(variables.rows.size(), 3U);
    EXPECT_EQ(variables.rows[0][0], "1 (disabled)");
    EXPECT_EQ(variables.rows[2][0], "3");
    EXPECT_EQ(variables.rows[2][2], "V3");
    EXPECT_EQ(Table_After(text, "TLS Known Certificates").rows.at(0)[0], "1 (disabled)");
    for (const char* warning :
         {"warning: IEC61850_Variables.xml: IEC61850 Variables, row 1: Enable is \" Y\": the device treats the row as off",
          "warning: IEC61850_Variables.xml: IEC61850 Variables, row 3 follows a row with a blank Name",
          "warning: TLS_Known_Cert.xml: TLS Known Certificates, row 1: Enable is \"\""}) {
        EXPECT_NE(text.find(warning), std::string::npos) << warning << "\n" << text;
    }
}

// The faults in the windows' wording: every failing parameter, every faulty enabled row only.
TEST_F(Report_Content, Check_Result_Lists_Every_Fault_Of_Enabled_Rows) {
    const std::string text = Report_Text(Make());
    EXPECT_NE(text.find("ParGen.xml: Error NTP!! Poll Time must be between 0 and 10000000 seconds"), std::string::npos)
        << text;
    EXPECT_NE(text.find("S7_Protocol.xml: Error row 3!! [S7comm Read] Poll Time must be between 1 and 100000000"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Error row 2"), std::string::npos); // row 2 is disabled
}

// The data map of the lists as the device gets them: the disabled rule 2 is left out.
TEST_F(Report_Content, Data_Map_Names_The_Findings_Of_Enabled_Rows) {
    test::Put(folder_ + "/IEC61850_Variables.xml",
              "<IEC61850_Variables><row Enable=\"Y\" Name=\"Flow\" Type=\"Int\" Length=\"2\" ReadOnly=\"Y\" "
              "Position=\"1\"/><row Enable=\"Y\" Name=\"Level\" Type=\"Int\" Length=\"2\" ReadOnly=\"Y\" "
              "Position=\"10\"/></IEC61850_Variables>");
    const std::string text = Report_Text(Make());
    EXPECT_NE(text.find("Data Map\n"), std::string::npos);
    EXPECT_NE(text.find("unfed: read-only variable 2 \"Level\", bytes 10 to 11: no enabled read rule fills it"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("overlap: "), std::string::npos); // the disabled rule 2 shares byte 1 with rule 1
    EXPECT_EQ(text.find("variable 1 \"Flow\", "), std::string::npos); // fed by rule 1, exactly

    // The picture: one cell per byte, the two unfed bytes orange, rule 1's bytes filled and shown.
    const std::string html = Report_Html(Make());
    const auto count = [&html](const std::string& what) {
        std::size_t n = 0;
        for (auto at = html.find(what); at != std::string::npos; at = html.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("<td bgcolor=\"#"), 1500U);
    EXPECT_EQ(count("<td bgcolor=\"#f0961e\""), 2U);
    EXPECT_EQ(count("<td bgcolor=\"#3f9f5f\""), 2U);
    EXPECT_NE(html.find("unfed variable"), std::string::npos);
}

TEST_F(Report_Content, Image_Sums_Are_Those_Of_The_Written_Banks) {
    const std::string text = Report_Text(Make());
    auto image = std::make_unique<Device_Image>();
    ASSERT_TRUE(Build_Device_Image(*image, Build_Files_In(folder_)));
    ASSERT_TRUE(Write_Bank_Files(*image, folder_));
    const Text_Table banks = Table_After(text, "Device Images");
    ASSERT_EQ(banks.rows.size(), 3U);
    const char* addresses[] = {"0x07000", "0x80000", "0xA0000"};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string bytes = test::Slurp(folder_ + "/bin/" + Bank_File_Names[i]);
        EXPECT_EQ(banks.rows[i], (std::vector<std::string>{Bank_File_Names[i], std::to_string(bytes.size()), addresses[i],
                                                           Sha256_Hex(bytes)}));
    }
    EXPECT_NE(text.find("Block checksum: " + std::to_string(image->Block.U32(Param_Offset::Block_Checksum)) + " (0x"),
              std::string::npos);
}

TEST_F(Report_Content, A_Configuration_That_Does_Not_Build_Says_Why) {
    test::Put(folder_ + "/IEC61850_Variables.xml", "<IEC61850_Variables><row");
    const std::string text = Report_Text(Make());
    EXPECT_NE(text.find("read error: "), std::string::npos) << text;
    EXPECT_NE(text.find("The configuration does not build: "), std::string::npos) << text;
    EXPECT_EQ(Table_After(text, "Device Images").rows.size(), 0U);
}

TEST_F(Report_Content, Secrets_Appear_Only_When_Asked_For) {
    const Report hidden = Make(false);
    for (const std::string& form : {Report_Text(hidden), Report_Html(hidden), Report_Html(hidden, Html_Flavour::Qt)}) {
        for (const char* secret : {test::Server_Password, test::Key_Body, test::Key_Password}) {
            EXPECT_EQ(form.find(secret), std::string::npos) << secret;
        }
    }
    const std::string shown = Report_Text(Make(true));
    for (const char* secret : {test::Server_Password, test::Key_Body, test::Key_Password}) {
        EXPECT_NE(shown.find(secret), std::string::npos) << secret;
    }
}

TEST_F(Report_Content, Html_Is_Self_Contained_And_Escapes_Cells) {
    const std::string html = Report_Html(Make());
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    for (const char* outside : {"<script", "src=", "href=", "@import", "url("}) {
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }
    EXPECT_NE(html.find("<thead>"), std::string::npos);
    EXPECT_NE(html.find("<tr class=\"disabled\">"), std::string::npos);
    EXPECT_NE(html.find("<td>Pumpe | 1</td>"), std::string::npos);
}

TEST_F(Report_Content, Labels_Follow_The_Language) {
    ASSERT_TRUE(Load_Language_File(std::string(QM_SOURCE_DIR) + "/LANGUAGE/Italiano.lng").ok);
    const std::string text = Report_Text(Make());
    Load_Default_Strings();
    EXPECT_TRUE(text.starts_with("Rapporto della Configurazione\n")) << text.substr(0, 100);
    const Text_Table parameters = Table_After(text, "Parametri di Comunicazione");
    ASSERT_EQ(parameters.rows.size(), 41U);
    EXPECT_EQ(Value_Of(parameters, "IEC61850_Server_Password"), "impostato");
    const Text_Table read = Table_After(text, "Lettura S7comm");
    ASSERT_EQ(read.rows.size(), 3U);
    EXPECT_EQ(read.header[1], "Abilita");
    EXPECT_EQ(read.rows[1][0], "2 (disabilitata)");
}

} // namespace
} // namespace qm
