// Importing 512 full rules from a CSV file into S7_Protocol.xml, beside the time the S7comm
// reader needs to read that S7_Protocol.xml; and the parts of the import on their own. The
// same rules through an Excel workbook, both ways.
//
// Usage: exchange_bench [benchmark flags]   (the files go to $TMPDIR, /tmp by default)

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <malloc.h>
#include <unistd.h>

#include "cli/commands.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "tables/s7_protocol.h"
#include "tables/table_exchange.h"

namespace {
namespace fs = std::filesystem;

// A valid enabled rule with every cell filled, all on one PLC connection so that the check
// walks every row to its end.
qm::Table_Row Rule(int i) {
    return {"Y", "127.0.0.1", "102", "S71500", "0", "1", "Word", "DB", std::to_string(i + 1), "Flags (M) (Merker)",
            std::to_string(i * 2), "3", "1000", std::to_string(i % 1500), "5", "N", "Y",
            "Rule number " + std::to_string(i + 1) + ", tank \"" + std::to_string(i % 7) + "\""};
}

struct Bench_Folder {
    fs::path dir;
    std::string xml;
    std::string csv_path;
    std::string csv;
    Bench_Folder() {
        const char* tmp = std::getenv("TMPDIR");
        dir = fs::path(tmp != nullptr ? tmp : "/tmp") / ("qm_exchange_bench_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // A whole configuration, so that the check has every file to read: the example's, but
        // for the S7comm lists.
        for (const char* name : {"ParGen.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"}) {
            fs::copy_file(fs::path(QM_SOURCE_DIR) / "examples" / "Example" / name, dir / name);
        }
        xml = (dir / "S7_Protocol.xml").string();
        csv_path = (dir / "rules.csv").string();
        qm::S7_Protocol_Data data = qm::Reset_S7_Protocol();
        for (int i = 0; i < qm::S7_Rows; ++i) {
            data.Read[static_cast<std::size_t>(i)] = Rule(i);
        }
        // The file that the import gives: 512 read rules, an empty write list.
        qm::Save_S7_Protocol_File(xml, data, false);
        csv = qm::Export_Table(qm::Exchange_Table::S7_Read, data.Read);
        qm::Write_File_Atomic(csv_path, csv);
    }
    ~Bench_Folder() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Bench_Folder& Folder() {
    static Bench_Folder folder;
    return folder;
}

// The baseline: the S7comm reader on the S7_Protocol.xml that the import writes.
void BM_Read_S7_Protocol_File(benchmark::State& state) {
    for (auto _ : state) {
        const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(Folder().xml);
        benchmark::DoNotOptimize(read.data.Read.data());
    }
}
BENCHMARK(BM_Read_S7_Protocol_File)->Unit(benchmark::kMicrosecond);

// quillmaker-cli import as a whole but for the process: read the CSV file, read the XML file,
// decode, parse, take the values, run the check over both lists, write the XML file (through a
// temporary file flushed to the disk and a rename).
void BM_Import_CSV_Into_S7_Protocol(benchmark::State& state) {
    const std::string folder = Folder().dir.string();
    for (auto _ : state) {
        std::string bytes;
        qm::Read_Exchange_File(Folder().csv_path, bytes);
        const qm::Configuration_Import done = qm::Import_Into_Configuration(
            folder, qm::Exchange_Table::S7_Read, bytes, qm::Import_Mode::Replace, '.');
        if (!done.written) {
            state.SkipWithError("the import was refused");
            break;
        }
    }
}
BENCHMARK(BM_Import_CSV_Into_S7_Protocol)->Unit(benchmark::kMicrosecond);

// The same without the write: what the import itself costs (reading both files included).
void BM_Import_CSV_Without_Write(benchmark::State& state) {
    const std::string folder = Folder().dir.string();
    for (auto _ : state) {
        std::string bytes;
        qm::Read_Exchange_File(Folder().csv_path, bytes);
        const qm::Configuration_Table before = qm::Read_Configuration_Table(folder, qm::Exchange_Table::S7_Read);
        const qm::Import_Result result = qm::Import_Table(qm::Exchange_Table::S7_Read, bytes, qm::Import_Mode::Replace,
                                                          before.rows, before.other_list, '.');
        if (!result.ok()) {
            state.SkipWithError("the import was refused");
            break;
        }
        benchmark::DoNotOptimize(result.rows.data());
    }
}
BENCHMARK(BM_Import_CSV_Without_Write)->Unit(benchmark::kMicrosecond);

// Import_Table alone, from bytes in memory: what a window's Import costs before its grid.
void BM_Import_Table_In_Memory(benchmark::State& state) {
    const qm::S7_Protocol_Data empty = qm::Reset_S7_Protocol();
    for (auto _ : state) {
        const qm::Import_Result result = qm::Import_Table(qm::Exchange_Table::S7_Read, Folder().csv,
                                                          qm::Import_Mode::Replace, empty.Read, empty.Write, '.');
        benchmark::DoNotOptimize(result.rows.data());
    }
}
BENCHMARK(BM_Import_Table_In_Memory)->Unit(benchmark::kMicrosecond);

// The two commands as quillmaker-cli runs them, but for starting the process, on the same
// configuration: the import of the 512 rules (written each time) and the check of the folder.
void Time_Cli_Import(benchmark::State& state, const std::string& file) {
    const qm::cli::Args args = {Folder().dir.string(), "s7-read", file};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (qm::cli::Run_Import(args, out, err) != 0) {
            state.SkipWithError("the import was refused");
            break;
        }
    }
}

void BM_Cli_Import(benchmark::State& state) { Time_Cli_Import(state, Folder().csv_path); }
BENCHMARK(BM_Cli_Import)->Unit(benchmark::kMicrosecond);

void BM_Cli_Check(benchmark::State& state) {
    const qm::cli::Args args = {Folder().dir.string()};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        benchmark::DoNotOptimize(qm::cli::Run_Check(args, out, err));
    }
}
BENCHMARK(BM_Cli_Check)->Unit(benchmark::kMicrosecond);

void BM_Export_Table(benchmark::State& state) {
    const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(Folder().xml);
    for (auto _ : state) {
        const std::string csv = qm::Export_Table(qm::Exchange_Table::S7_Read, read.data.Read);
        benchmark::DoNotOptimize(csv.data());
    }
}
BENCHMARK(BM_Export_Table)->Unit(benchmark::kMicrosecond);

#ifdef QM_HAVE_XLSX
// The same 512 rules as an Excel workbook: written by libxlsxwriter (through its temporary
// file), and read back to checked rows, beside BM_Export_Table and BM_Import_Table_In_Memory.
void BM_Export_Workbook(benchmark::State& state) {
    const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(Folder().xml);
    for (auto _ : state) {
        const qm::Workbook_Export book = qm::Export_Workbook(qm::Exchange_Table::S7_Read, read.data.Read);
        if (!book.ok()) {
            state.SkipWithError("the workbook was not written");
            break;
        }
        benchmark::DoNotOptimize(book.bytes.data());
    }
}
BENCHMARK(BM_Export_Workbook)->Unit(benchmark::kMicrosecond);

void BM_Import_Workbook_In_Memory(benchmark::State& state) {
    const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(Folder().xml);
    const std::string book = qm::Export_Workbook(qm::Exchange_Table::S7_Read, read.data.Read).bytes;
    const qm::S7_Protocol_Data empty = qm::Reset_S7_Protocol();
    for (auto _ : state) {
        const qm::Import_Result result =
            qm::Import_Table(qm::Exchange_Table::S7_Read, book, qm::Import_Mode::Replace, empty.Read, empty.Write, '.');
        if (!result.ok()) {
            state.SkipWithError("the workbook was refused");
            break;
        }
        benchmark::DoNotOptimize(result.rows.data());
    }
}
BENCHMARK(BM_Import_Workbook_In_Memory)->Unit(benchmark::kMicrosecond);
#endif

// The export command but for the process, to a CSV file and to a workbook: read the XML file,
// make the bytes, write the file (through a temporary file flushed to the disk and a rename).
void BM_Cli_Export(benchmark::State& state, const char* name) {
    const qm::cli::Args args = {Folder().dir.string(), "s7-read", (Folder().dir / name).string()};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (qm::cli::Run_Export(args, out, err) != 0) {
            state.SkipWithError("the export failed");
            break;
        }
    }
}
BENCHMARK_CAPTURE(BM_Cli_Export, csv, "out.csv")->Unit(benchmark::kMicrosecond);
#ifdef QM_HAVE_XLSX
BENCHMARK_CAPTURE(BM_Cli_Export, xlsx, "out.xlsx")->Unit(benchmark::kMicrosecond);

// The import command of the same rules from a workbook, beside BM_Cli_Import.
void BM_Cli_Import_Workbook(benchmark::State& state) {
    const std::string book = (Folder().dir / "rules.xlsx").string();
    {
        const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(Folder().xml);
        qm::Write_File_Atomic(book, qm::Export_Workbook(qm::Exchange_Table::S7_Read, read.data.Read).bytes);
    }
    Time_Cli_Import(state, book);
}
BENCHMARK(BM_Cli_Import_Workbook)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

int main(int argc, char** argv) {
    // As build_bench: keep freed memory, so that every repetition measures the same steady state.
    mallopt(M_TRIM_THRESHOLD, -1);
    mallopt(M_MMAP_MAX, 0);
    qm::Load_Default_Strings();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
