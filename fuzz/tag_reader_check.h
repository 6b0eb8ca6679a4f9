#pragma once
// What every reader of PLC files must hold to, whatever the bytes: a result that is either
// tags or errors, addresses the rules can take, and rules made from them that the checks and the
// data map can judge without a crash.

#include "fuzz_support.h"
#include "tables/iec61850_variables.h"
#include "tags/tag_rules.h"

namespace qm::fuzz {

inline void Check_Tag_Result(const Tag_Read_Result& result) {
    Require(result.ok() || (result.tags.empty() && result.left_out.empty()), "tags given beside errors");
    Require(result.tags.size() + result.left_out.size() <= Max_Tags, "more tags than the limit");
    for (const Plc_Tag& tag : result.tags) {
        Require(!Rule_Data_Type(tag.type).empty(), "a tag of a type no rule takes", tag.type);
        Require(tag.address.bit >= 0 && tag.address.bit <= 7, "bit out of range", tag.name);
        Require(tag.address.byte >= 0, "negative address", tag.name);
        Require(tag.line > 0, "a tag without its line", tag.name);
    }
    for (const Tag_Error& error : result.errors) {
        Require(!error.text.empty(), "an error without words");
    }
    if (!result.ok()) {
        return;
    }
    Tag_Import_Options options;
    options.plc_address = "127.0.0.1";
    options.variables = true;
    const Tag_Rules rules = Make_Tag_Rules(result.tags, Reset_S7_Protocol().Read, options);
    (void)Merge_Tag_Rules(Reset_S7_Protocol(), Reset_IEC61850_Variables(), rules, options);
}

} // namespace qm::fuzz
