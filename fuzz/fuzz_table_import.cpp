// Any bytes as a spreadsheet file for one of the four lists, and as a clipboard block. The
// first byte picks the table, the rest is the file. An accepted file exports and imports back
// to the same cells, and the second export gives the same bytes; a block that parses copies and
// parses back to the same cells. Nothing may crash, whatever is refused.

#include <cstdint>

#include "fuzz_support.h"
#include "language/lang_table.h"
#include "tables/table_exchange.h"

namespace {

std::string Cells_Text(const qm::Table_Rows& rows, std::size_t r) {
    std::string text;
    for (const std::string& cell : rows[r]) {
        text += "[" + cell + "]";
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm;
    using namespace qm::fuzz;
    static const bool loaded = [] {
        Load_Default_Strings();
        return true;
    }();
    (void)loaded;
    if (size == 0) {
        return 0;
    }
    const auto table = static_cast<Exchange_Table>(data[0] % 4);
    const std::string_view bytes = As_Text(data + 1, size - 1);
    const Table_Rows empty = Reset_Table(Exchange_Capacity(table), Exchange_Field_Count(table) + 1);

    const Import_Result first = Import_Table(table, bytes, Import_Mode::Replace, empty, {}, data[0] & 4 ? ',' : '.');
    for (const Exchange_Error& error : first.errors) {
        Require(!error.text.empty(), "an error without text");
    }
    if (first.errors.empty()) {
        Require(static_cast<int>(first.rows.size()) == Exchange_Capacity(table), "accepted rows not full size");
        const char separator = ",;\t"[data[0] / 4 % 3];
        const std::string exported = Export_Table(table, first.rows, separator);
        const Import_Result second = Import_Table(table, exported, Import_Mode::Replace, empty);
        Require(second.errors.empty(), "an exported file is refused",
                [&] { return second.errors.front().text + "\n" + exported; });
        for (std::size_t r = 0; r < first.rows.size(); ++r) {
            Require(second.rows[r] == first.rows[r], "a row changed on the way through its export",
                    [&] { return "row " + std::to_string(r + 1) + ": " + Cells_Text(first.rows, r) + " came back as " +
                                 Cells_Text(second.rows, r); });
        }
        Require(Export_Table(table, second.rows, separator) == exported, "the second export differs from the first");
    }

    const Block_Paste block = Parse_Block(table, bytes, 1, 1);
    if (block.ok()) {
        const Block_Paste again = Parse_Block(table, Export_Block(block.cells), 1, 1);
        Require(again.ok() && again.cells == block.cells, "a pasted block does not copy back to the same cells");
    }
    return 0;
}
