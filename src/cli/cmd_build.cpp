#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "common/file_io.h"
#include "image/image_builder.h"

namespace qm::cli {
namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

void Print_Summary(const Device_Image& image, const std::string& bin, std::ostream& out) {
    const TIEC61850& iec = image.IEC61850;
    const std::uint32_t checksum = image.Block.U32(Param_Offset::Block_Checksum);
    out << "Built the device images into " << bin << "\n";
    out << "  S7comm rules:         " << image.Rule_Count << "\n";
    out << "  IEC61850 variables:   " << iec.Var_Number << "\n";
    out << "  known certificates:   ";
    if (Known_Certs_In_Image(iec)) {
        out << iec.TLS_Data.Known_Cert_Num << "\n";
    } else {
        out << "0 in the image (" << iec.TLS_Data.Known_Cert_Num
            << " enabled in the list; they are used only with TLS on and known certificates required)\n";
    }
    out << "  NTP server text:      " << (image.NTP_Text.empty() ? "none" : "at " + Hex(Bank3_Device_Address)) << "\n";
    out << "  block checksum:       " << checksum << " (" << Hex(checksum) << ")\n";
    const std::uint32_t addresses[3] = {Bank1_Device_Address, Bank2_Device_Address, Bank3_Device_Address};
    for (std::size_t i = 0; i < image.Banks.size(); ++i) {
        out << "  " << Bank_File_Names[i] << ":            " << image.Banks[i].length << " bytes for device address "
            << Hex(addresses[i]) << "\n";
    }
}

} // namespace

int Run_Build(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0].empty()) {
        err << "Usage: quillmaker-cli build <configuration-folder>\n";
        return 2;
    }
    const std::string& folder = args[0];
    if (!Dir_Exists(folder)) {
        err << "quillmaker-cli build: " << folder << ": no such configuration folder\n";
        return 2;
    }
    auto image = std::make_unique<Device_Image>();
    const Build_Result built = Build_Device_Image(*image, Build_Files_In(folder));
    if (!built) {
        err << "quillmaker-cli build: " << built.message << "\nNo bank file was written.\n";
        return built.status == Build_Status::Unreadable_Input ? 2 : 1;
    }
    const Build_Result written = Write_Bank_Files(*image, folder);
    if (!written) {
        err << "quillmaker-cli build: " << written.message << "\nThe bank files were not replaced.\n";
        return 1;
    }
    Print_Summary(*image, Path_Join(folder, "bin"), out);
    return 0;
}

} // namespace qm::cli
