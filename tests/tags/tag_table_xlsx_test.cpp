// The tag table as an Excel workbook: the columns found by their titles, and a cell that holds no
// value naming its row.

#include <gtest/gtest.h>

#include "language/lang_table.h"
#include "tables/xlsx_zip_support.h"
#include "tags/plc_tags.h"

namespace {

std::string Cell(const char* reference, const std::string& text) {
    return std::string("<c r=\"") + reference + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

std::string Row(int number, const std::vector<std::string>& texts) {
    std::string row = "<row r=\"" + std::to_string(number) + "\">";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string reference = std::string(1, static_cast<char>('A' + i)) + std::to_string(number);
        row += Cell(reference.c_str(), texts[i]);
    }
    return row + "</row>";
}

TEST(Tag_Table_Xlsx, Reads_The_Plc_Tags_Sheet_By_Its_Column_Titles) {
    qm::Load_Default_Strings();
    const std::string sheet =
        Row(1, {"Name", "Path", "Data Type", "Logical Address", "Comment", "Hmi Visible"}) +
        Row(2, {"Start", "Default tag table", "Bool", "%I0.3", "Start button", "True"}) +
        Row(3, {"Speed", "Default tag table", "Int", "%MW2", "", "True"}) +
        Row(4, {"Delay", "Default tag table", "Timer", "%T1", "", "True"});
    const std::string workbook = qm::test::Make_Zip(
        qm::test::Workbook_Parts({{"TagTable Properties", Row(1, {"Name"})}, {"PLC Tags", sheet}}));
    ASSERT_FALSE(workbook.empty());
    ASSERT_EQ(qm::Detect_Tag_File(workbook), qm::Tag_File_Kind::Tag_Table_Xlsx);
    const qm::Tag_Read_Result result = qm::Read_Tag_File(workbook);
    ASSERT_TRUE(result.ok()) << result.errors.front().text;
    ASSERT_EQ(result.tags.size(), 2U);
    EXPECT_EQ(result.tags[0].name, "Start");
    EXPECT_EQ(result.tags[0].comment, "Start button");
    EXPECT_EQ(result.tags[0].address.bit, 3);
    EXPECT_EQ(result.tags[1].line, 3);
    ASSERT_EQ(result.left_out.size(), 1U);
    EXPECT_EQ(result.left_out[0].line, 4);

    // A DInt at a byte address: refused, naming the sheet's row.
    const std::string bad = qm::test::Make_Zip(qm::test::Workbook_Parts(
        {{"PLC Tags", Row(1, {"Name", "Data Type", "Logical Address"}) + Row(2, {"Total", "DInt", "%MB10"})}}));
    const qm::Tag_Read_Result refused = qm::Read_Tag_File(bad);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.errors.front().line, 2);

    // No sheet of that name: what was expected is said.
    const qm::Tag_Read_Result other =
        qm::Read_Tag_File(qm::test::Make_Zip(qm::test::Workbook_Parts({{"Sheet1", Row(1, {"Name"})}})));
    ASSERT_FALSE(other.ok());
}

} // namespace
