// A symbol table (SDF, SEQ, ASC) of any bytes: read, checked, made into rules.

#include <cstdint>

#include "fuzz_support.h"
#include "language/lang_table.h"
#include "tag_reader_check.h"
#include "tags/plc_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm::fuzz;
    static const bool loaded = (qm::Load_Default_Strings(), true);
    (void)loaded;
    // The length picks the form, so that every form sees every kind of bytes.
    constexpr qm::Tag_File_Kind kinds[] = {qm::Tag_File_Kind::Symbol_Sdf, qm::Tag_File_Kind::Symbol_Seq,
                                           qm::Tag_File_Kind::Symbol_Asc};
    Check_Tag_Result(qm::Read_Symbol_Table(As_Text(data, size), kinds[size % 3]));
    return 0;
}
