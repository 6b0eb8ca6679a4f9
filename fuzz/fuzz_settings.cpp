// Quillmaker.xml of any bytes: read as start-up reads it, written as the close writes it, and
// read again to the same settings.

#include <cstdint>
#include <string>

#include "common/xml_io.h"
#include "fuzz_support.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using qm::fuzz::Require;
    pugi::xml_document doc;
    const qm::Xml_Load_Result loaded = qm::Load_Xml_Text(qm::fuzz::As_Text(data, size), "Quillmaker.xml", doc);
    Require(loaded.ok() || loaded.message.find("Quillmaker.xml") != std::string::npos,
            "a refusal does not name the file", loaded.message);
    // Start-up treats a file that is not well-formed as missing; a well-formed one is read value by value.
    const qm::Settings_Data first = loaded.ok() ? qm::Read_Settings(doc) : qm::Settings_Data{};

    const std::string written = qm::Settings_To_Xml(first);
    pugi::xml_document again;
    const qm::Xml_Load_Result reloaded = qm::Load_Xml_Text(written, "Quillmaker.xml", again);
    if (!reloaded.ok()) {
        qm::fuzz::Fail("the written settings do not parse", reloaded.message + "\n" + written);
    }
    const qm::Settings_Data second = qm::Read_Settings(again);
    if (second != first) {
        qm::fuzz::Fail("a setting changed on the way through the file",
            "project \"" + first.Project_Name + "\" -> \"" + second.Project_Name + "\", address \"" +
                first.Last_IP_Address + "\" -> \"" + second.Last_IP_Address + "\", language \"" + first.Language +
                "\" -> \"" + second.Language + "\"");
    }
    Require(qm::Settings_To_Xml(second) == written, "a second save differs from the first");
    return 0;
}
