// A build without libzip and libxlsxwriter (the Windows cross-build): workbooks are refused
// with a message, never taken for CSV text.
#include "tables/exchange_rules.h"
#include "tables/xlsx_texts.h"

namespace qm {

using namespace exchange_rules;

bool Workbooks_Supported() {
    return false;
}

Workbook_Export Export_Workbook(Exchange_Table, const Table_Rows&) {
    return {{}, L(xlsx_text::Not_Supported)};
}

namespace exchange_rules {

Source_Read Read_Workbook_Records(Exchange_Table, std::string_view, Error_List& errors, const Record_Handler&) {
    errors.Add(0, L(xlsx_text::Not_Supported));
    return {true, false};
}

} // namespace exchange_rules

} // namespace qm
