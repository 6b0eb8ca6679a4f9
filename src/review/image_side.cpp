#include "review/bank_diff.h"

#include <memory>

#include "common/file_io.h"
#include "image/image_builder.h"
#include "language/lang_table.h"
#include "review/review_texts.h"

namespace qm {

namespace rt = review_text;

namespace {

// Far above any real bank, low enough never to read a disk image by mistake.
constexpr std::uint64_t Max_Bank_File = 16ULL * 1024 * 1024;

std::string Base_Name(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<Bank_Bytes> Read_Bank(const std::string& path, const std::string& name, std::string& message) {
    std::string content;
    if (const Io_Result read = Read_File(path, content, Max_Bank_File); !read) {
        message = read.message;
        return std::nullopt;
    }
    return Bank_Bytes{name, std::vector<std::uint8_t>(content.begin(), content.end())};
}

bool Has_Bank_Files(const std::string& dir) {
    for (const char* file : Bank_File_Names) {
        if (File_Exists(Path_Join(dir, file))) return true;
    }
    return false;
}

} // namespace

Image_Side_Load Load_Image_Side(const std::string& path) {
    Image_Side_Load load;
    load.side.name = path;
    if (File_Exists(path)) {
        std::string message;
        auto file = Read_Bank(path, Base_Name(path), message);
        if (!file) {
            load.unreadable = true;
            load.message = message;
            return load;
        }
        const int bank = Bank_Number(file->name, file->bytes.size());
        if (bank == 0) {
            load.unreadable = true;
            load.message = path + Lang(rt::Not_A_Side);
            return load;
        }
        file->name = Bank_File_Names[static_cast<std::size_t>(bank - 1)];
        load.side.banks[static_cast<std::size_t>(bank - 1)] = std::move(file);
        load.ok = true;
        return load;
    }
    if (!Dir_Exists(path)) {
        load.unreadable = true;
        load.message = path + Lang(rt::Not_A_Side);
        return load;
    }
    if (!Has_Configuration_Files(path) && Has_Bank_Files(path)) {
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string file = Path_Join(path, Bank_File_Names[i]);
            if (!File_Exists(file)) continue;
            std::string message;
            load.side.banks[i] = Read_Bank(file, Bank_File_Names[i], message);
            if (!load.side.banks[i]) {
                load.unreadable = true;
                load.message = message;
                return load;
            }
        }
        load.ok = true;
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
    return load;
}

} // namespace qm
