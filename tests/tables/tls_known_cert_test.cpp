// TLS_Known_Cert.xml: the certificate list as written and read back.

#include <gtest/gtest.h>

#include "table_test_support.h"
#include "tables/tls_known_cert.h"

namespace qm {
namespace {

const std::string Pem = "-----BEGIN CERTIFICATE-----\r\nMIIB+zCCAWSgAwIBAgIU\r\n-----END CERTIFICATE-----\r\n";

Table_Rows Table_Of(const Table_Rows& rows) {
    Table_Rows table = Reset_TLS_Known_Cert();
    std::copy(rows.begin(), rows.end(), table.begin());
    return table;
}

TEST(CertFile, WritesRootThenCommentAndEnableAsYOrN) {
    pugi::xml_document doc;
    Write_TLS_Known_Cert_Xml(Table_Of({{"N", "a\nb", "x<y"}, {"Y", "c", ""}, {"", "d", "no state"}}), doc);
    EXPECT_EQ(Xml_To_String(doc),
              "<TLS_Server_Known_Cert><row Enable=\"N\" Certificate=\"a&#10;b\" Mnemonic=\"x&lt;y\"/>"
              "<row Enable=\"Y\" Certificate=\"c\" Mnemonic=\"\"/>"
              "<row Enable=\"N\" Certificate=\"d\" Mnemonic=\"no state\"/>"
              "</TLS_Server_Known_Cert><!--SW_VERSION = 1.000-->");
}

TEST(CertFile, OnlyAnExactNUnchecks) {
    const std::pair<std::string, std::string> cases[] = {
        {"Enable=\"N\"", "N"}, {"Enable=\"Y\"", "Y"}, {"", "Y"}, {"Enable=\"\"", "Y"},
        {"Enable=\"n\"", "Y"}, {"Enable=\" N\"", "Y"}, {"Enable=\"No\"", "Y"}};
    for (const auto& [attribute, state] : cases) {
        const Table_Read_Result read = Read_TLS_Known_Cert_Text(
            "<TLS_Server_Known_Cert><row " + attribute + " Certificate=\"c\"/></TLS_Server_Known_Cert>", "TLS.xml");
        EXPECT_EQ(read.rows[0], (Table_Row{state, "c", ""})) << attribute;
    }
}

TEST(CertFile, TenCertificatesRoundTripAndTheListEndsAtABlankOne) {
    Table_Rows table;
    for (int i = 0; i < Cert_Rows; ++i) {
        table.push_back({i % 3 == 0 ? "N" : "Y", Pem + std::to_string(i), "Ünïcødé ✓ 证书 " + std::to_string(i)});
    }
    test::Temp_Dir dir;
    const std::string path = dir.File("TLS_Known_Cert.xml");
    ASSERT_TRUE(Save_TLS_Known_Cert_File(path, table, false));
    Table_Read_Result back = Read_TLS_Known_Cert_File(path);
    EXPECT_TRUE(back.info.complete) << back.info.Message();
    EXPECT_EQ(back.rows, table);

    table[1][Cert_Col::Certificate - 1] = " \r\n ";
    ASSERT_TRUE(Save_TLS_Known_Cert_File(path, table, false));
    back = Read_TLS_Known_Cert_File(path);
    EXPECT_EQ(back.rows[0], table[0]);
    EXPECT_EQ(back.rows[1], Reset_TLS_Known_Cert()[1]);
    EXPECT_EQ(back.rows[2], Reset_TLS_Known_Cert()[2]);
}

TEST(CertFile, EleventhRowIsReportedAndTheSaveKeepsTheFile) {
    std::string xml = "<TLS_Server_Known_Cert>";
    for (int i = 0; i < 11; ++i) {
        xml += "<row Enable=\"Y\" Certificate=\"c" + std::to_string(i) + "\" Mnemonic=\"\"/>";
    }
    xml += "</TLS_Server_Known_Cert>";
    test::Temp_Dir dir;
    const std::string path = dir.File("TLS_Known_Cert.xml");
    test::Put(path, xml);

    const Table_Read_Result read = Read_TLS_Known_Cert_File(path);
    EXPECT_FALSE(read.info.complete);
    EXPECT_NE(read.info.Message().find("rows 11 to 11 were not loaded"), std::string::npos) << read.info.Message();
    EXPECT_EQ(read.rows.size(), 10U);
    EXPECT_EQ(read.rows[9][1], "c9");

    const Table_Save_Result saved = Save_TLS_Known_Cert_File(path, read.rows, !read.info.complete);
    ASSERT_TRUE(saved) << saved.message;
    EXPECT_EQ(test::Slurp(saved.backup_path), xml);
}

TEST(CertFile, MissingFileIsAnEmptyCheckedList) {
    test::Temp_Dir dir;
    const Table_Read_Result read = Read_TLS_Known_Cert_File(dir.File("TLS_Known_Cert.xml"));
    EXPECT_TRUE(read.info.complete);
    EXPECT_EQ(read.rows, Table_Rows(10, Table_Row{"Y", "", ""}));
}

} // namespace
} // namespace qm
