// ParGen.xml of any bytes: read as the parameters window reads it, written as its OK writes it,
// and read again. The second reading must give exactly the set the first one gave.

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "parameters/par_gen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using qm::fuzz::Require;
    const std::string name = "ParGen.xml";
    const qm::Par_Gen_Read first = qm::Read_Par_Gen_Text(qm::fuzz::As_Text(data, size), name);
    Require(first.complete || first.message.find(name) != std::string::npos,
            "an incomplete reading does not name the file", first.message);
    for (const qm::Par_Id id : qm::All_Par_Ids()) {
        if (qm::Is_Flag(qm::Par_Def_Of(id).kind)) {
            Require(first.set[id] == "1" || first.set[id] == "0", "a flag reads as neither 1 nor 0", first.set[id]);
        }
    }

    const std::string written = qm::Par_Gen_To_Xml(first.set);
    const qm::Par_Gen_Read second = qm::Read_Par_Gen_Text(written, name);
    if (!second.file_found || second.message.find("not well-formed") != std::string::npos) {
        qm::fuzz::Fail("the written file does not parse", second.message + "\n" + written);
    }
    Require(!first.complete || second.complete, "a complete reading became incomplete", second.message);
    for (const qm::Par_Id id : qm::All_Par_Ids()) {
        if (second.set[id] != first.set[id]) {
            qm::fuzz::Fail("a value changed on the way through the file",
                           std::string(qm::Par_Def_Of(id).element) + ": \"" + first.set[id] + "\" came back as \"" +
                               second.set[id] + "\"");
        }
    }
    // Writing what was read back gives the same bytes: nothing drifts from one save to the next.
    Require(qm::Par_Gen_To_Xml(second.set) == written, "a second save differs from the first");
    return 0;
}
