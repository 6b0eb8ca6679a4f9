#include "map/map_marks.h"

#include <filesystem>

#include "common/file_io.h"
#include "image/image_xml.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"

namespace qm {
namespace {

Table_Rows List_Part(const Table_Rows& rows, int key_column, int capacity) {
    const auto length = static_cast<std::size_t>(List_Length(rows, key_column, capacity));
    return Table_Rows(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(std::min(length, rows.size())));
}

int Position_Column(Map_List list) {
    switch (list) {
    case Map_List::S7_Read: return S7_Read_Col::Position;
    case Map_List::S7_Write: return S7_Write_Col::Position;
    case Map_List::Variables: return Var_Col::Position;
    }
    return 0;
}

std::vector<Map_Mark> Marks(const Data_Map& map, const Table_Rows& read, const Table_Rows& write,
                            const Table_Rows& variables, Finding_Kind a, Finding_Kind b) {
    std::vector<Map_Mark> marks;
    for (const Map_Finding& f : map.findings) {
        if (f.kind != a && f.kind != b) continue;
        const std::string text = Finding_Text(f, read, write, variables);
        for (const int row : f.rows) marks.push_back({f.list, row, Position_Column(f.list), text});
    }
    return marks;
}

} // namespace

std::vector<Map_Mark> S7_Window_Marks(const Table_Rows& read, const Table_Rows& write) {
    const Table_Rows r = List_Part(read, S7_Read_Col::PLC_Address, S7_Rows);
    const Table_Rows w = List_Part(write, S7_Write_Col::PLC_Address, S7_Rows);
    return Marks(Compute_Data_Map(r, w, {}), r, w, {}, Finding_Kind::Overlap, Finding_Kind::Past_End);
}

std::vector<Map_Mark> Variable_Window_Marks(const Table_Rows& saved_read, const Table_Rows& variables) {
    const Table_Rows v = List_Part(variables, Var_Col::Name, Variable_Rows);
    return Marks(Compute_Data_Map(saved_read, {}, v), saved_read, {}, v, Finding_Kind::Unfed, Finding_Kind::Unfed);
}

const Table_Rows& Saved_Read_Rules(const std::string& path) {
    struct Cache {
        std::string path;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time{};
        Table_Rows rows;
    };
    static Cache cache;
    std::error_code ec;
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    const std::filesystem::file_time_type time = ec ? std::filesystem::file_time_type{} : std::filesystem::last_write_time(file, ec);
    if (ec) {
        cache = Cache{};
        return cache.rows;
    }
    if (cache.path != path || cache.size != size || cache.time != time) {
        cache = Cache{path, size, time, {}};
        pugi::xml_document doc;
        bool present = false;
        if (Load_Build_Input(path, doc, present)) {
            cache.rows = Build_List_Rows(doc, Build_List::S7_Read, S7_Read_Attributes);
        }
    }
    return cache.rows;
}

} // namespace qm
