#include "cli/commands.h"

namespace qm::cli {

// Scaffolding until the command is written: says so plainly and fails.
int Run_Check(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
    err << "quillmaker-cli check: not available in this build yet\n";
    return 2;
}

} // namespace qm::cli
