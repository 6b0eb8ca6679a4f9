#include "image/image_builder.h"
#include "language/lang_table.h"

#include <utility>
#include <vector>

#include "common/file_io.h"

namespace qm {

Build_Files Build_Files_In(const std::string& project_dir) {
    return {Path_Join(project_dir, "ParGen.xml"), Path_Join(project_dir, "S7_Protocol.xml"),
            Path_Join(project_dir, "IEC61850_Variables.xml"), Path_Join(project_dir, "TLS_Known_Cert.xml")};
}

Build_Result Build_Device_Image(Device_Image& image, const Build_Files& files) {
    image.Complete = false;
    for (Image_Buffer& bank : image.Banks) {
        bank.length = 0;
    }
    Set_Block_Defaults(image.Block);
    Clear_S7_Rule_Table(image.Rules);
    image.Rule_Count = 0;
    Reset_IEC61850(image.IEC61850, image.NTP_Text);

    if (Build_Result r = Read_Parameters(files.ParGen_File, image.Block, image.IEC61850, image.NTP_Text); !r) {
        return r;
    }
    image.Block.Set_U32(Param_Offset::S7_Table_Address, Bank2_Device_Address);
    if (Build_Result r = Read_S7_Rules(files.S7_Protocol_File, image.Rules, image.Rule_Count); !r) {
        return r;
    }
    image.Block.Set_U32(Param_Offset::S7_Rule_Count, image.Rule_Count);
    if (Build_Result r = Read_IEC61850_Variables(files.IEC61850_Variables_File, image.IEC61850); !r) {
        return r;
    }
    if (Build_Result r = Read_TLS_Known_Cert(files.TLS_Known_Cert_File, image.IEC61850); !r) {
        return r;
    }
    image.Block.Set_U32(Param_Offset::NTP_Text_Address, image.NTP_Text.empty() ? 0 : Bank3_Device_Address);
    image.Block.Set_U32(Param_Offset::IEC61850_Area_Address, IEC61850_Header_Address);

    image.Banks[0].length = Checksum_And_Copy(image.Block, image.Banks[0], 0);
    image.Banks[1].length = Serialise_S7_Rules(image.Rules, image.Banks[1], 0);
    Image_Buffer& bank3 = image.Banks[2];
    const std::size_t header_pos = Write_NTP_Text_Area(image.NTP_Text, bank3, 0);
    std::size_t bank3_end = 0;
    if (Build_Result r = Assemble_IEC61850_Area(image.IEC61850, IEC61850_Header_Address, bank3, header_pos, bank3_end);
        !r) {
        for (Image_Buffer& bank : image.Banks) {
            bank.length = 0;
        }
        return r;
    }
    bank3.length = bank3_end;
    image.Complete = true;
    return {};
}

Build_Result Write_Bank_Files(const Device_Image& image, const std::string& project_dir) {
    if (!image.Complete) {
        return {Build_Status::Write_Failed, Lang(79)};
    }
    if (project_dir.empty() || !Dir_Exists(project_dir)) {
        return {Build_Status::Write_Failed, project_dir + Lang(80)};
    }
    const std::string bin = Path_Join(project_dir, "bin");
    if (!Dir_Exists(bin) && !Make_Dir(bin)) {
        return {Build_Status::Write_Failed, bin + Lang(81)};
    }
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t i = 0; i < image.Banks.size(); ++i) {
        const Image_Buffer& bank = image.Banks[i];
        const auto* first = reinterpret_cast<const char*>(bank.data());
        files.emplace_back(Path_Join(bin, Bank_File_Names[i]), std::string(first, bank.length));
    }
    const Io_Result written = Write_Files_Atomic(files);
    if (!written) {
        return {Build_Status::Write_Failed, written.message};
    }
    return {};
}

} // namespace qm
