#pragma once
// What a build step reports to its caller: success, or why the images cannot be made.

#include <string>

namespace qm {

enum class Build_Status {
    Ok,
    Unreadable_Input, // an input file exists but cannot be read or is not well-formed
    Over_Limit,       // the configuration does not fit the device's tables or buffers
    Write_Failed,     // a bank file could not be written
};

struct Build_Result {
    Build_Status status = Build_Status::Ok;
    std::string message; // English, names the file (and line, column or field) concerned

    bool ok() const { return status == Build_Status::Ok; }
    explicit operator bool() const { return ok(); }
};

} // namespace qm
