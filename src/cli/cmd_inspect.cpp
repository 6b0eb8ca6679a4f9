#include "cli/commands.h"

namespace qm::cli {

// Scaffolding until the command is written: says so plainly and fails.
int Run_Inspect(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
    err << "quillmaker-cli inspect: not available in this build yet\n";
    return 2;
}

} // namespace qm::cli
