#include "review/bank_diff.h"

#include <filesystem>
#include <memory>

#include "common/file_io.h"
#include "image/image_builder.h"
#include "language/lang_table.h"
#include "review/review_common.h"
#include "review/review_texts.h"

namespace qm {

namespace rt = review_text;

namespace {

std::uint64_t Size_Of(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(std::filesystem::path(std::u8string(path.begin(), path.end())), ec);
    return ec ? 0 : static_cast<std::uint64_t>(size);
}

// A bank file checked by name and size before a byte is read: a crafted file of any size costs
// nothing but its directory entry.
std::optional<Bank_Bytes> Read_Bank(const std::string& path, int bank, std::string& message) {
    if (const std::string problem = Bank_Size_Problem(path, bank, Size_Of(path)); !problem.empty()) {
        message = problem;
        return std::nullopt;
    }
    std::string content;
    if (const Io_Result read = Read_File(path, content, Image_Buffer_Size); !read) {
        message = read.message;
        return std::nullopt;
    }
    // The file may have changed between the two looks.
    if (const std::string problem = Bank_Size_Problem(path, bank, content.size()); !problem.empty()) {
        message = problem;
        return std::nullopt;
    }
    return Bank_Bytes{Bank_File_Names[static_cast<std::size_t>(bank - 1)],
                      std::vector<std::uint8_t>(content.begin(), content.end())};
}

} // namespace

bool Has_Bank_Files(const std::string& dir) {
    for (const char* file : Bank_File_Names) {
        if (File_Exists(Path_Join(dir, file))) return true;
    }
    return false;
}

Image_Side_Load Load_Image_Side(const std::string& path) {
    Image_Side_Load load;
    load.side.name = path;
    load.unreadable = true; // until the side is read
    if (File_Exists(path)) {
        const int bank = Bank_Number(Base_Name(path));
        if (bank == 0) {
            load.message = path + Lang(rt::Not_Bank_Name);
            return load;
        }
        auto file = Read_Bank(path, bank, load.message);
        if (!file) return load;
        load.side.banks[static_cast<std::size_t>(bank - 1)] = std::move(file);
        load.side.single_bank = true;
        load.ok = true;
        load.unreadable = false;
        return load;
    }
    if (!Dir_Exists(path)) {
        load.message = path + Lang(rt::Not_Found);
        return load;
    }
    if (!Has_Configuration_Files(path)) {
        if (!Has_Bank_Files(path)) {
            load.message = path + Lang(rt::Not_Configuration_Or_Bin);
            return load;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string file = Path_Join(path, Bank_File_Names[i]);
            if (!File_Exists(file)) continue;
            load.side.banks[i] = Read_Bank(file, static_cast<int>(i) + 1, load.message);
            if (!load.side.banks[i]) return load;
        }
        load.ok = true;
        load.unreadable = false;
        return load;
    }
    // A configuration: built in memory, nothing written.
    auto image = std::make_unique<Device_Image>();
    const Build_Result built = Build_Device_Image(*image, Build_Files_In(path));
    if (!built) {
        load.unreadable = built.status == Build_Status::Unreadable_Input;
        load.message = path + Lang(rt::Cannot_Build) + built.message;
        return load;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const Image_Buffer& buffer = image->Banks[i];
        load.side.banks[i] = Bank_Bytes{Bank_File_Names[i],
                                       std::vector<std::uint8_t>(buffer.data(), buffer.data() + buffer.length)};
    }
    load.ok = true;
    load.unreadable = false;
    return load;
}

} // namespace qm
