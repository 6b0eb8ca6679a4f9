#pragma once
// The build driver: compiles a configuration's four XML files into the three device images and
// writes them as bin/bank1.bin, bank2.bin and bank3.bin.

#include <array>
#include <cstdint>
#include <string>

#include "image/iec61850_area.h"
#include "image/image_buffer.h"
#include "image/image_result.h"
#include "image/param_block.h"
#include "image/s7_rule_table.h"

namespace qm {

inline constexpr std::array<const char*, 3> Bank_File_Names = {"bank1.bin", "bank2.bin", "bank3.bin"};

struct Build_Files {
    std::string ParGen_File;
    std::string S7_Protocol_File;
    std::string IEC61850_Variables_File;
    std::string TLS_Known_Cert_File;
};

// The input files of a configuration folder, named as the editors save them.
Build_Files Build_Files_In(const std::string& project_dir);

// The builder's working state, reset at the start of every build and kept until the next.
// About 200 KB: keep it on the heap or static.
struct Device_Image {
    Param_Block Block;
    S7_Rule_Table Rules;
    std::uint32_t Rule_Count = 0;
    TIEC61850 IEC61850;
    std::string NTP_Text;
    std::array<Image_Buffer, 3> Banks;
    bool Complete = false; // the three buffers hold the images of the last build
};

// Compiles the files into the three buffers. A missing file takes its defaults; a file that is
// not well-formed, or a configuration that does not fit the device, fails the build and leaves
// the buffers marked incomplete.
Build_Result Build_Device_Image(Device_Image& image, const Build_Files& files);

// Writes the three images into <project_dir>/bin, creating that folder when it is missing; the
// three files are replaced together or not at all. Refuses an incomplete image.
Build_Result Write_Bank_Files(const Device_Image& image, const std::string& project_dir);

} // namespace qm
