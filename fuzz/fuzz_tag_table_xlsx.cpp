// A tag table exported as an Excel workbook of any bytes: read, checked, made into rules.

#include <cstdint>

#include "fuzz_support.h"
#include "language/lang_table.h"
#include "tag_reader_check.h"
#include "tags/plc_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm::fuzz;
    static const bool loaded = (qm::Load_Default_Strings(), true);
    (void)loaded;
    Check_Tag_Result(qm::Read_Tag_Table_Xlsx(As_Text(data, size)));
    return 0;
}
