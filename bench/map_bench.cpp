// The data map of the largest lists the editors allow: 512 read and 512 write rules and 50
// variables, as the live marks of the table windows compute it on every edit.

#include <benchmark/benchmark.h>

#include <string>

#include "map/data_map.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"

namespace {

const char* const Types[] = {"Bit", "Byte", "Int", "Real", "Word", "DInt", "Char", "DWord"};

// Rules packed from byte 0 in turn of type, a few of them on bytes already taken, so that the
// overlap search has real work; variables over every tenth rule and some past them.
qm::Table_Rows Rules(bool write) {
    qm::Table_Rows rows;
    int position = 0;
    for (int i = 0; i < qm::S7_Rows; ++i) {
        qm::Table_Row row(write ? qm::S7_Write_Col::Col_Count - 1 : qm::S7_Read_Col::Col_Count - 1);
        const auto put = [&row](int column, std::string text) { row[static_cast<std::size_t>(column - 1)] = std::move(text); };
        const std::string type = Types[i % 8];
        const int size = type == "Bit" || type == "Byte" || type == "Char" ? 1 : type == "Int" || type == "Word" ? 2 : 4;
        put(1, "Y");
        put(qm::S7_Read_Col::PLC_Address, "10.0.0." + std::to_string(i % 10));
        put(qm::S7_Read_Col::Data_Type, type);
        put(write ? int{qm::S7_Write_Col::Position} : int{qm::S7_Read_Col::Position}, std::to_string(i % 50 == 7 ? position - 1 : position));
        put(write ? int{qm::S7_Write_Col::Bit} : int{qm::S7_Read_Col::Bit}, std::to_string(i % 8));
        put(write ? int{qm::S7_Write_Col::Mnemonic} : int{qm::S7_Read_Col::Mnemonic}, "rule " + std::to_string(i + 1));
        position += size;
        rows.push_back(std::move(row));
    }
    return rows;
}

qm::Table_Rows Variables() {
    qm::Table_Rows rows;
    for (int i = 0; i < qm::Variable_Rows; ++i) {
        qm::Table_Row row(qm::Var_Col::Col_Count - 1);
        const auto put = [&row](int column, std::string text) { row[static_cast<std::size_t>(column - 1)] = std::move(text); };
        put(qm::Var_Col::Enable, "Y");
        put(qm::Var_Col::Name, "Var" + std::to_string(i + 1));
        put(qm::Var_Col::Type, i % 3 == 0 ? "Float" : "Int");
        put(qm::Var_Col::Length, i % 3 == 0 ? "4" : "2");
        put(qm::Var_Col::ReadOnly, i % 4 == 0 ? "N" : "Y");
        put(qm::Var_Col::Position, std::to_string(i * 24));
        rows.push_back(std::move(row));
    }
    return rows;
}

void BM_Compute_Data_Map(benchmark::State& state) {
    const qm::Table_Rows read = Rules(false);
    const qm::Table_Rows write = Rules(true);
    const qm::Table_Rows variables = Variables();
    std::size_t findings = 0;
    for (auto _ : state) {
        const qm::Data_Map map = qm::Compute_Data_Map(read, write, variables);
        findings = map.findings.size();
        benchmark::DoNotOptimize(map.findings.data());
    }
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_Compute_Data_Map)->Unit(benchmark::kMicrosecond);

// The map and the use of each of the 1500 bytes, what the picture draws from.
void BM_Map_And_Byte_Use(benchmark::State& state) {
    const qm::Table_Rows read = Rules(false);
    const qm::Table_Rows write = Rules(true);
    const qm::Table_Rows variables = Variables();
    for (auto _ : state) {
        const std::vector<qm::Byte_Use> use = qm::Data_Array_Use(qm::Compute_Data_Map(read, write, variables));
        benchmark::DoNotOptimize(use.data());
    }
}
BENCHMARK(BM_Map_And_Byte_Use)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
