#include "tables/table_layout.h"

#include <array>

#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"

namespace qm {

namespace {

using K = Cell_Kind;

// low > high: the column has no number range.
constexpr int No_Low = 0;
constexpr int No_High = -1;
constexpr int Max_Poll_Time = 100000000;

// attribute, title, hint, kind, items, data size, range, missing
constexpr Column_Layout S7_Read_Columns[] = {
    {"Enable", 1217, 1244, K::Check, nullptr, 0, No_Low, No_High, "Y"},
    {"PLC_Address", 1218, 1245, K::Text, nullptr, 0, No_Low, No_High, ""},
    {"PLC_Port", 1219, 1246, K::Text, nullptr, 0, 0, 65535, ""},
    {"PLC_Type", 1220, 1247, K::List, &PLC_Type_Items, 0, No_Low, No_High, ""},
    {"Rack", 1313, 1317, K::Text, nullptr, 0, 0, 3, "0"},
    {"Slot", 1314, 1318, K::Text, nullptr, 0, 0, 31, "0"},
    {"Data_Type", 1221, 1248, K::List, &Data_Type_Items, 0, No_Low, No_High, ""},
    {"Data_Identifier", 1222, 1249, K::List, &Data_Identifier_Items, 0, No_Low, No_High, ""},
    {"DB_Number", 1289, 1297, K::Text, nullptr, 0, 0, 65535, ""},
    {"PLC_Area", 1290, 1298, K::List, &PLC_Area_Items, 0, No_Low, No_High, ""},
    {"PLC_Add", 1291, 1299, K::Text, nullptr, 0, 0, 65535, ""},
    {"PLC_Bit", 1292, 1300, K::List, &Bit_Items, 0, 0, 7, ""},
    {"PollTime", 1223, 1250, K::Text, nullptr, 0, 1, Max_Poll_Time, ""},
    {"Position", 1224, 1251, K::List, nullptr, NByte_IN, 0, NByte_IN - 1, ""},
    {"Bit", 1225, 1252, K::List, &Bit_Items, 0, 0, 7, ""},
    {"Swap", 1226, 1253, K::Check, nullptr, 0, No_Low, No_High, ""},
    {"SwapWord", 1227, 1254, K::Check, nullptr, 0, No_Low, No_High, ""},
    {"Mnemonic", 1228, 1255, K::Text, nullptr, 0, No_Low, No_High, ""},
};

constexpr Column_Layout S7_Write_Columns[] = {
    {"Enable", 1230, 1256, K::Check, nullptr, 0, No_Low, No_High, "Y"},
    {"PLC_Address", 1231, 1257, K::Text, nullptr, 0, No_Low, No_High, ""},
    {"PLC_Port", 1232, 1258, K::Text, nullptr, 0, 0, 65535, ""},
    {"PLC_Type", 1233, 1259, K::List, &PLC_Type_Items, 0, No_Low, No_High, ""},
    {"Rack", 1315, 1319, K::Text, nullptr, 0, 0, 3, "0"},
    {"Slot", 1316, 1320, K::Text, nullptr, 0, 0, 31, "0"},
    {"Data_Type", 1234, 1260, K::List, &Data_Type_Items, 0, No_Low, No_High, ""},
    {"Data_Identifier", 1235, 1261, K::List, &Data_Identifier_Items, 0, No_Low, No_High, ""},
    {"DB_Number", 1293, 1301, K::Text, nullptr, 0, 0, 65535, ""},
    {"PLC_Area", 1294, 1302, K::List, &PLC_Area_Items, 0, No_Low, No_High, ""},
    {"PLC_Add", 1295, 1303, K::Text, nullptr, 0, 0, 65535, ""},
    {"PLC_Bit", 1296, 1304, K::List, &Bit_Items, 0, 0, 7, ""},
    {"PollTime", 1236, 1262, K::Text, nullptr, 0, 0, Max_Poll_Time, ""}, // 0: write on change only
    {"OnChange", 1237, 1263, K::Check, nullptr, 0, No_Low, No_High, ""},
    {"OnCMD", 1238, 1264, K::Check, nullptr, 0, No_Low, No_High, ""},
    {"Position", 1239, 1265, K::List, nullptr, NByte_OUT, 0, NByte_OUT - 1, ""},
    {"Bit", 1240, 1266, K::List, &Bit_Items, 0, 0, 7, ""},
    {"Swap", 1241, 1267, K::Check, nullptr, 0, No_Low, No_High, ""},
    {"SwapWord", 1242, 1268, K::Check, nullptr, 0, No_Low, No_High, ""},
    {"Mnemonic", 1243, 1269, K::Text, nullptr, 0, No_Low, No_High, ""},
};

constexpr Column_Layout Variables_Columns[] = {
    {"Enable", 1515, 1522, K::Check, nullptr, 0, No_Low, No_High, "Y"},
    {"Name", 1516, 1523, K::Text, nullptr, 0, No_Low, No_High, ""},
    {"Type", 1517, 1524, K::List, &Variable_Type_Items, 0, No_Low, No_High, ""},
    {"Length", 1518, 1525, K::Text, nullptr, 0, 1, 4, ""},
    {"ReadOnly", 1519, 1526, K::Check, nullptr, 0, No_Low, No_High, "N"},
    // Typed, not picked: a list of 1438 items would not help.
    {"Position", 1520, 1527, K::Text, nullptr, Variables_NByte_IN, 0, Variables_NByte_IN - 1, ""},
    {"StartBit", 1532, 1535, K::List, &Bit_Items, 0, 0, 7, ""},
    {"Conversion", 1533, 1536, K::List, &Variable_Conversion_Items, 0, No_Low, No_High, ""},
    {"MultiplicationFactor", 1534, 1537, K::Free_List, &Variable_Factor_Items, 0, No_Low, No_High, ""},
    {"Swap", 1542, 1544, K::Check, nullptr, 0, No_Low, No_High, "N"},
    {"SwapWord", 1543, 1545, K::Check, nullptr, 0, No_Low, No_High, "N"},
    {"Mnemonic", 1521, 1528, K::Text, nullptr, 0, No_Low, No_High, ""},
};

constexpr Column_Layout Certificates_Columns[] = {
    {"Enable", 1615, 1618, K::Check, nullptr, 0, No_Low, No_High, "Y"},
    {"Certificate", 1616, 1619, K::Lines, nullptr, 0, No_Low, No_High, ""},
    {"Mnemonic", 1617, 1620, K::Text, nullptr, 0, No_Low, No_High, ""},
};

static_assert(std::size(S7_Read_Columns) == S7_Read_Col::Col_Count - 1);
static_assert(std::size(S7_Write_Columns) == S7_Write_Col::Col_Count - 1);
static_assert(std::size(Variables_Columns) == Var_Col::Col_Count - 1);
static_assert(std::size(Certificates_Columns) == Cert_Col::Col_Count - 1);

constexpr Table_Layout Layouts[] = {
    {Table_Id::S7_Read, "s7-read", "S7_Protocol.xml", 1214, 1216, S7_Rows, S7_Read_Col::PLC_Address,
     S7_Read_Columns},
    {Table_Id::S7_Write, "s7-write", "S7_Protocol.xml", 1215, 1229, S7_Rows, S7_Write_Col::PLC_Address,
     S7_Write_Columns},
    {Table_Id::Variables, "variables", "IEC61850_Variables.xml", 1489, 1514, Variable_Rows, Var_Col::Name,
     Variables_Columns},
    {Table_Id::Certificates, "certificates", "TLS_Known_Cert.xml", 33, 1614, Cert_Rows, Cert_Col::Certificate,
     Certificates_Columns},
};

template <std::size_t N, std::size_t M>
constexpr std::array<const char*, N> Attributes_Of(const Column_Layout (&columns)[M]) {
    static_assert(N == M);
    std::array<const char*, N> names{};
    for (std::size_t k = 0; k < N; ++k) {
        names[k] = columns[k].attribute;
    }
    return names;
}

} // namespace

constinit const std::array<const char*, S7_Read_Col::Col_Count - 1> S7_Read_Attributes =
    Attributes_Of<S7_Read_Col::Col_Count - 1>(S7_Read_Columns);
constinit const std::array<const char*, S7_Write_Col::Col_Count - 1> S7_Write_Attributes =
    Attributes_Of<S7_Write_Col::Col_Count - 1>(S7_Write_Columns);
constinit const std::array<const char*, Var_Col::Col_Count - 1> Variable_Attributes =
    Attributes_Of<Var_Col::Col_Count - 1>(Variables_Columns);
constinit const std::array<const char*, Cert_Col::Col_Count - 1> Cert_Attributes =
    Attributes_Of<Cert_Col::Col_Count - 1>(Certificates_Columns);

const Table_Layout& Layout_Of(Table_Id table) {
    return Layouts[static_cast<std::size_t>(table)];
}

std::vector<int> Table_Layout::Header_Entries() const {
    std::vector<int> entries{number_title};
    for (const Column_Layout& column : columns) {
        entries.push_back(column.title);
    }
    return entries;
}

std::vector<int> Table_Layout::Hint_Entries() const {
    std::vector<int> entries;
    for (const Column_Layout& column : columns) {
        entries.push_back(column.hint);
    }
    return entries;
}

std::vector<std::string> Column_Items(const Column_Layout& column) {
    if (column.kind != Cell_Kind::List && column.kind != Cell_Kind::Free_List) {
        return {};
    }
    return column.items != nullptr ? *column.items : Position_Items(column.data_size);
}

std::vector<Column_Range> Count_Ranges(const Table_Layout& layout, int data_size) {
    std::vector<Column_Range> ranges;
    for (int c = 1; c <= layout.Field_Count(); ++c) {
        const Column_Layout& column = layout.Column(c);
        if (Has_Range(column)) {
            ranges.push_back({c, column.low, column.data_size > 0 ? data_size - 1 : column.high});
        }
    }
    return ranges;
}

} // namespace qm
