#include "parameters/par_gen.h"

#include "common/file_io.h"
#include "common/xml_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <utility>
#include <vector>

namespace qm {
namespace {

namespace fs = std::filesystem;
using P = Par_Id;

std::string Read_Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(Read_File(path, bytes)) << path;
    return bytes;
}

std::string Golden_Defaults() {
    return Read_Bytes(std::string(QM_SOURCE_DIR) + "/tests/parameters/data/ParGen_defaults.xml");
}

// A fresh folder per test, removed afterwards.
class Par_Gen_Files : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("qm_par_gen_") + info->name() + "_" +
                                            std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "ParGen.xml").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
    std::string path_;
};

struct Read_Case {
    const char* name;
    const char* xml;
    std::vector<std::pair<Par_Id, std::string>> changed; // from the defaults; everything else stays
};

void PrintTo(const Read_Case& c, std::ostream* os) {
    *os << c.name;
}

class Read_Par_Gen_Test : public ::testing::TestWithParam<Read_Case> {};

TEST_P(Read_Par_Gen_Test, YieldsDefaultsExceptTheReadValues) {
    const Read_Case& c = GetParam();
    Par_Gen_Set expected = Par_Gen_Defaults();
    for (const auto& [id, text] : c.changed) {
        expected[id] = text;
    }
    const Par_Gen_Read read = Read_Par_Gen_Text(c.xml, "ParGen.xml");
    EXPECT_TRUE(read.complete) << read.message;
    for (const Par_Id id : All_Par_Ids()) {
        EXPECT_EQ(read.set[id], expected[id]) << Par_Def_Of(id).element;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Read_Par_Gen_Test,
    ::testing::Values(
        Read_Case{"OnlyOneOctet", "<Par_Gen><S7_Protocol_IP4>7</S7_Protocol_IP4></Par_Gen>", {{P::S7_Protocol_IP4, "7"}}},
        Read_Case{"EmptyDocumentRoot", "<Par_Gen/>", {}},
        Read_Case{"RootOfAnyName", "<Other><S7_Protocol_IP4>7</S7_Protocol_IP4></Other>", {{P::S7_Protocol_IP4, "7"}}},
        Read_Case{"CommentBeforeRootIsTheRoot",
                  "<!--c--><Par_Gen><S7_Protocol_IP4>7</S7_Protocol_IP4></Par_Gen>", {}},
        Read_Case{"DeclarationIsNoNode",
                  "<?xml version=\"1.0\"?>\n<Par_Gen><S7_Protocol_IP4>7</S7_Protocol_IP4></Par_Gen>",
                  {{P::S7_Protocol_IP4, "7"}}},
        Read_Case{"FirstOfTwoCounts",
                  "<Par_Gen><NTP_Poll_Time>5</NTP_Poll_Time><NTP_Poll_Time>6</NTP_Poll_Time></Par_Gen>",
                  {{P::NTP_Poll_Time, "5"}}},
        Read_Case{"OrderAndUnknownIgnored",
                  "<Par_Gen><Extra>x</Extra><NTP_Poll_Time>5</NTP_Poll_Time><S7_Protocol_IP1>1</S7_Protocol_IP1></Par_Gen>",
                  {{P::NTP_Poll_Time, "5"}, {P::S7_Protocol_IP1, "1"}}},
        Read_Case{"NamesAreCaseSensitive", "<Par_Gen><s7_protocol_ip4>7</s7_protocol_ip4></Par_Gen>", {}},
        Read_Case{"OnlyDirectChildren",
                  "<Par_Gen><G><S7_Protocol_IP4>7</S7_Protocol_IP4></G></Par_Gen>", {}},
        Read_Case{"EmptyElementsGiveEmptyTexts",
                  "<Par_Gen><S7_Protocol_IP1/><NTP_Server_URL></NTP_Server_URL></Par_Gen>",
                  {{P::S7_Protocol_IP1, ""}, {P::NTP_Server_URL, ""}}},
        Read_Case{"TextUnchangedWithBlanks",
                  "<Par_Gen><S7_Protocol_IP1> 010 </S7_Protocol_IP1><IEC61850_Server_Password>   "
                  "</IEC61850_Server_Password><TLS_Server_Key>\n\tA\n</TLS_Server_Key></Par_Gen>",
                  {{P::S7_Protocol_IP1, " 010 "}, {P::IEC61850_Server_Password, "   "}, {P::TLS_Server_Key, "\n\tA\n"}}},
        Read_Case{"EscapesAndCdata",
                  "<Par_Gen><IEC61850_Server_Password>&lt;&amp;&gt;&quot;&apos;</IEC61850_Server_Password>"
                  "<TLS_Server_Key_Password><![CDATA[a<b&c]]></TLS_Server_Key_Password></Par_Gen>",
                  {{P::IEC61850_Server_Password, "<&>\"'"}, {P::TLS_Server_Key_Password, "a<b&c"}}},
        Read_Case{"ContentThatIsNotPlainTextKeepsTheDefault",
                  "<Par_Gen><S7_Protocol_IP1>5<b/></S7_Protocol_IP1><S7_Protocol_IP2><!--c--></S7_Protocol_IP2>"
                  "<S7_Protocol_IP3>1<!--c-->2</S7_Protocol_IP3><S7_Protocol_IP4>9</S7_Protocol_IP4></Par_Gen>",
                  {{P::S7_Protocol_IP4, "9"}}},
        Read_Case{"ExactFlagSetByOneOnly",
                  "<Par_Gen><S7_Protocol_EN_GAT>1</S7_Protocol_EN_GAT><IEC61850_Server_EN_GAT>01"
                  "</IEC61850_Server_EN_GAT><IEC61850_Server_EN_DNS> 1</IEC61850_Server_EN_DNS></Par_Gen>",
                  {{P::S7_Protocol_EN_GAT, "1"}}},
        Read_Case{"ExactFlagClearedByEmptyText",
                  "<Par_Gen><IEC61850_Server_EN_DNS/><TLS_Server_Enable></TLS_Server_Enable></Par_Gen>", {}},
        Read_Case{"IntegerFlagSetByAnyOne",
                  "<Par_Gen><TLS_Server_Enable>01</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>$1"
                  "</TLS_Server_Enable_Known_Cert></Par_Gen>",
                  {{P::TLS_Server_Enable, "1"}, {P::TLS_Server_Enable_Known_Cert, "1"}}},
        Read_Case{"IntegerFlagClearedByOtherTexts",
                  "<Par_Gen><TLS_Server_Enable>word</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>2"
                  "</TLS_Server_Enable_Known_Cert></Par_Gen>",
                  {}}),
    [](const ::testing::TestParamInfo<Read_Case>& p) { return std::string(p.param.name); });

TEST(Read_Par_Gen_Malformed, KeepsWhatWasReadAndNamesFileLineAndColumn) {
    const Par_Gen_Read read = Read_Par_Gen_Text("<Par_Gen>\n<S7_Protocol_IP1>10</S7_Protocol_IP1>\n"
                                                "<S7_Protocol_IP2>20</S7_Protocol_IP2><Broken</Par_Gen>\n"
                                                "<NTP_Poll_Time>5</NTP_Poll_Time>",
                                                "/x/ParGen.xml");
    EXPECT_TRUE(read.file_found);
    EXPECT_FALSE(read.complete);
    EXPECT_NE(read.message.find("/x/ParGen.xml"), std::string::npos) << read.message;
    EXPECT_NE(read.message.find("line 3"), std::string::npos) << read.message;
    EXPECT_NE(read.message.find("column"), std::string::npos) << read.message;
    EXPECT_EQ(read.set[P::S7_Protocol_IP1], "10");
    EXPECT_EQ(read.set[P::S7_Protocol_IP2], "20");
    EXPECT_EQ(read.set[P::NTP_Poll_Time], "1000");
}

TEST(Read_Par_Gen_Malformed, TextThatIsNotUtf8IsReported) {
    const Par_Gen_Read read =
        Read_Par_Gen_Text("<Par_Gen><IEC61850_Server_Password>caf\xE9</IEC61850_Server_Password></Par_Gen>", "f.xml");
    EXPECT_FALSE(read.complete);
    EXPECT_NE(read.message.find("IEC61850_Server_Password"), std::string::npos) << read.message;
    EXPECT_EQ(read.set[P::IEC61850_Server_Password], "caf\xE9");
}

TEST_F(Par_Gen_Files, MissingFileGivesDefaultsSilently) {
    const Par_Gen_Read read = Read_Par_Gen(path_);
    EXPECT_FALSE(read.file_found);
    EXPECT_TRUE(read.complete);
    EXPECT_TRUE(read.message.empty());
    EXPECT_EQ(read.set, Par_Gen_Defaults());
}

TEST_F(Par_Gen_Files, FolderInPlaceOfTheFileIsReported) {
    fs::create_directory(path_);
    const Par_Gen_Read read = Read_Par_Gen(path_);
    EXPECT_FALSE(read.complete);
    EXPECT_NE(read.message.find(path_), std::string::npos) << read.message;
    EXPECT_EQ(read.set, Par_Gen_Defaults());
}

TEST_F(Par_Gen_Files, DefaultsAreWrittenAsTheGoldenFile) {
    EXPECT_EQ(Par_Gen_To_Xml(Par_Gen_Defaults()), Golden_Defaults());
    const Par_Gen_Save save = Save_Par_Gen(Par_Gen_Defaults(), path_, false);
    ASSERT_TRUE(save.ok) << save.message;
    EXPECT_TRUE(save.backup.empty());
    EXPECT_EQ(Read_Bytes(path_), Golden_Defaults());
    for (const auto& entry : fs::directory_iterator(fs::path(path_).parent_path())) {
        EXPECT_FALSE(entry.path().string().ends_with(".tmp~")) << entry.path();
    }
}

TEST(Par_Gen_Writer, RewritesAnyOrderInTheFixedOrderAndDropsUnknownElements) {
    // The golden file's elements reversed, with an unknown one and a comment among them.
    const std::string golden = Golden_Defaults();
    pugi::xml_document in;
    ASSERT_TRUE(Load_Xml_Text(golden, "golden", in).ok());
    pugi::xml_document out;
    pugi::xml_node root = out.append_child("Par_Gen");
    root.append_child("Unknown").text().set("1");
    root.append_child(pugi::node_comment).set_value("note");
    for (pugi::xml_node e = in.first_child().last_child(); e; e = e.previous_sibling()) {
        root.append_copy(e);
    }
    const std::string shuffled = Xml_To_String(out);
    ASSERT_EQ(shuffled.find("<Par_Gen><Unknown>1</Unknown><!--note--><NTP_Poll_Time>"), 0U) << shuffled;
    const Par_Gen_Read read = Read_Par_Gen_Text(shuffled, "ParGen.xml");
    ASSERT_TRUE(read.complete) << read.message;
    EXPECT_EQ(Par_Gen_To_Xml(read.set), golden);
}

TEST(Par_Gen_Writer, EveryTextRoundTripsUnchanged) {
    const std::vector<std::string> texts = {
        "",
        " ",
        "  blanks around  ",
        "010",
        "letters",
        "caf\xC3\xA9 \xC3\xBC\xC3\x9F",                   // below U+0100
        "\xE2\x82\xAC \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80", // euro, CJK, an emoji
        "<&>\"'",
        "]]> --> <!--",
        "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n",
        "windows\r\nline\r\nbreaks\r\n",
        "lone\rreturn",
        "\ttab\t",
        "\n",
    };
    Par_Gen_Set set = Par_Gen_Defaults();
    std::size_t next = 0;
    for (const Par_Id id : All_Par_Ids()) {
        if (Is_Flag(Par_Def_Of(id).kind)) {
            set.Set_Flag(id, next % 2 == 0);
        } else {
            set[id] = texts[next % texts.size()];
        }
        ++next;
    }
    const Par_Gen_Read read = Read_Par_Gen_Text(Par_Gen_To_Xml(set), "ParGen.xml");
    ASSERT_TRUE(read.complete) << read.message;
    for (const Par_Id id : All_Par_Ids()) {
        EXPECT_EQ(read.set[id], set[id]) << Par_Def_Of(id).element;
    }
}

TEST(Par_Gen_Writer, RootFirstThenTheVersionCommentAndNoDeclaration) {
    Par_Gen_Set set = Par_Gen_Defaults();
    set.Set_Flag(P::TLS_Server_Enable, true);
    const std::string xml = Par_Gen_To_Xml(set);
    EXPECT_EQ(xml.rfind("<Par_Gen>", 0), 0U) << xml;
    EXPECT_TRUE(xml.ends_with("</Par_Gen><!--SW_VERSION = 1.000-->")) << xml;
    EXPECT_NE(xml.find("<TLS_Server_Enable>1</TLS_Server_Enable>"), std::string::npos);
}

TEST_F(Par_Gen_Files, FailedSaveLeavesTheOldFileAndSaysWhy) {
    ASSERT_TRUE(Write_File_Atomic(path_, "old"));
    // A folder where the temporary file must go makes the write fail, whoever runs the test.
    Set_Fixed_Temporary_Names(true);
    fs::create_directory(path_ + ".tmp~");
    const Par_Gen_Save save = Save_Par_Gen(Par_Gen_Defaults(), path_, false);
    Set_Fixed_Temporary_Names(false);
    EXPECT_FALSE(save.ok);
    EXPECT_NE(save.message.find(path_), std::string::npos) << save.message;
    EXPECT_EQ(Read_Bytes(path_), "old");
}

TEST_F(Par_Gen_Files, FileNotReadCompletelyIsKeptBesideBeforeItIsReplaced) {
    const std::string broken = "<Par_Gen><S7_Protocol_IP1>10</S7_Protocol_IP1><oops";
    ASSERT_TRUE(Write_File_Atomic(path_, broken));
    const Par_Gen_Read read = Read_Par_Gen(path_);
    ASSERT_FALSE(read.complete);
    EXPECT_EQ(read.set[P::S7_Protocol_IP1], "10");

    const Par_Gen_Save first = Save_Par_Gen(read.set, path_, !read.complete);
    ASSERT_TRUE(first.ok) << first.message;
    ASSERT_FALSE(first.backup.empty());
    EXPECT_EQ(Read_Bytes(first.backup), broken);
    EXPECT_EQ(Read_Par_Gen(path_).set, read.set);

    const Par_Gen_Save second = Save_Par_Gen(read.set, path_, false);
    ASSERT_TRUE(second.ok) << second.message;
    EXPECT_TRUE(second.backup.empty());
}

} // namespace
} // namespace qm
