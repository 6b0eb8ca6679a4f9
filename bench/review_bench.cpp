// Usage: review_bench [benchmark flags]
//
// quillmaker-cli diff --banks of two largest configurations (512 + 512 rules, 50 variables,
// 10 certificates of 2 KB; the second with one rule inserted and one changed) beside one
// quillmaker-cli build of one of them; and the report of the largest configuration as PDF,
// HTML and text.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "image/image_builder.h"
#include "language/lang_table.h"
#include "review/bank_diff.h"
#include "review/config_diff.h"
#include "review/report.h"

#ifdef QM_BENCH_PDF
#include <QGuiApplication>

#include "review/gui/report_pdf.h"
#endif

namespace {
namespace fs = std::filesystem;

std::string Pem(const char* label, std::size_t bytes) {
    std::string text = std::string("-----BEGIN ") + label + "-----\n";
    const std::string line = "MIIFazCCA1OgAwIBAgIUbench0123456789abcdefghijklmnopqrstuvwxyzABCD\n";
    while (text.size() + line.size() < bytes) text += line;
    return text + "-----END " + label + "-----";
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The largest configuration the editors allow, as build_bench writes it; `variant` inserts a
// read rule after rule 100 and changes the poll time of write rule 300.
void Write_Largest(const fs::path& dir, bool variant) {
    fs::create_directories(dir / "bin");
    std::string xml = "<Par_Gen><S7_Protocol_IP1>10</S7_Protocol_IP1><S7_Protocol_IP2>20</S7_Protocol_IP2>"
                      "<S7_Protocol_IP3>30</S7_Protocol_IP3><S7_Protocol_IP4>40</S7_Protocol_IP4>"
                      "<IEC61850_Server_Port>3782</IEC61850_Server_Port>"
                      "<IEC61850_Server_Password>Pässwörd</IEC61850_Server_Password><TLS_Server_Enable>1</TLS_Server_Enable>"
                      "<TLS_Server_Key_Password>key pass phrase</TLS_Server_Key_Password>"
                      "<TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>"
                      "<NTP_Server_URL>ntp.plant-network.example</NTP_Server_URL><NTP_Poll_Time>3600</NTP_Poll_Time>";
    xml += "<TLS_Server_Key>" + Pem("PRIVATE KEY", 2048) + "</TLS_Server_Key>";
    xml += "<TLS_Server_Server_Certificate>" + Pem("CERTIFICATE", 2048) + "</TLS_Server_Server_Certificate>";
    xml += "<TLS_Server_Root_Certificate>" + Pem("CERTIFICATE", 2048) + "</TLS_Server_Root_Certificate>";
    Write(dir / "ParGen.xml", xml + "</Par_Gen><!--SW_VERSION = 1.000-->");

    const char* types[] = {"Logo0BA8", "S7200", "S7300", "S7400", "S71200", "S71500"};
    const char* data[] = {"Bit", "Byte", "Char", "Word", "Int", "DWord", "DInt", "Real"};
    const char* ids[] = {"OB", "DB", "SDB", "FC", "SFC", "FB", "SFB"};
    const char* areas[] = {"Direct peripheral access (P)", "Inputs (I)", "Output (Q)", "Flags (M) (Merker)"};
    const auto rule = [&](int i, bool write, int poll) {
        std::string r = "<row Enable=\"Y\" PLC_Address=\"192.168." + std::to_string(i % 10) + "." +
                        std::to_string(10 + i % 200) + "\" PLC_Port=\"102\" PLC_Type=\"" + types[i % 6] +
                        "\" Rack=\"0\" Slot=\"" + std::to_string(i % 4) + "\" Data_Type=\"" + data[i % 8] +
                        "\" Data_Identifier=\"" + ids[i % 7] + "\" DB_Number=\"" + std::to_string(i) + "\" PLC_Area=\"" +
                        areas[i % 4] + "\" PLC_Add=\"" + std::to_string(i * 4) + "\" PLC_Bit=\"" + std::to_string(i % 8) +
                        "\" PollTime=\"" + std::to_string(poll) + "\"";
        if (write) r += " OnChange=\"Y\" OnCMD=\"N\"";
        return r + " Position=\"" + std::to_string(i % 1500) + "\" Bit=\"" + std::to_string(i % 8) +
               "\" Swap=\"Y\" SwapWord=\"N\" Mnemonic=\"Rule number " + std::to_string(i) + "\"/>";
    };
    xml = "<S7_Protocol><S7_Protocol_Read>";
    for (int i = 0; i < 512; ++i) {
        if (variant && i == 100) xml += rule(999, false, 250); // the inserted rule; the last one drops off
        if (variant && i == 511) break;
        xml += rule(i, false, 100 + i);
    }
    xml += "</S7_Protocol_Read><S7_Protocol_Write>";
    for (int i = 0; i < 512; ++i) xml += rule(i, true, variant && i == 300 ? 5000 : 100 + i);
    Write(dir / "S7_Protocol.xml", xml + "</S7_Protocol_Write></S7_Protocol><!--SW_VERSION = 1.003-->");

    xml = "<IEC61850_Variables>";
    const char* var_types[] = {"Int", "Float", "Digital (Bit)"};
    for (int i = 0; i < 50; ++i) {
        xml += "<row Enable=\"Y\" Name=\"LD0/GGIO1.AnIn" + std::to_string(i) + ".mag.f\" Type=\"" + var_types[i % 3] +
               "\" Length=\"4\" ReadOnly=\"N\" Position=\"" + std::to_string(i * 4) +
               "\" StartBit=\"0\" Conversion=\"Int to Float\" MultiplicationFactor=\"0,1\" Swap=\"N\" SwapWord=\"Y\""
               " Mnemonic=\"Variable " + std::to_string(i) + "\"/>";
    }
    Write(dir / "IEC61850_Variables.xml", xml + "</IEC61850_Variables><!--SW_VERSION = 1.000-->");

    xml = "<TLS_Server_Known_Cert>";
    for (int i = 0; i < 10; ++i) {
        xml += "<row Enable=\"Y\" Certificate=\"" + Pem("CERTIFICATE", 2048) + "\" Mnemonic=\"Client " +
               std::to_string(i) + "\"/>";
    }
    Write(dir / "TLS_Known_Cert.xml", xml + "</TLS_Server_Known_Cert><!--SW_VERSION = 1.000-->");
}

struct Configurations {
    fs::path root = fs::temp_directory_path() / ("qm_review_bench_" + std::to_string(::getpid()));
    std::string a = (root / "A").string();
    std::string b = (root / "B").string();
    Configurations() {
        Write_Largest(a, false);
        Write_Largest(b, true);
        qm::Load_Default_Strings();
    }
    ~Configurations() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

const Configurations& Config() {
    static const Configurations config;
    return config;
}

// What `quillmaker-cli build` does: build in memory and write the three bank files.
void BM_Cli_Build(benchmark::State& state) {
    const std::string dir = Config().a;
    for (auto _ : state) {
        auto image = std::make_unique<qm::Device_Image>();
        const qm::Build_Result built = qm::Build_Device_Image(*image, qm::Build_Files_In(dir));
        const qm::Build_Result written = qm::Write_Bank_Files(*image, dir);
        if (!built || !written) {
            state.SkipWithError((built.message + written.message).c_str());
            break;
        }
    }
}
BENCHMARK(BM_Cli_Build)->Unit(benchmark::kMicrosecond);

// What `quillmaker-cli diff --banks A B` does: both file sets read and compared, both built in
// memory and their images decoded and compared, the lines formatted.
void BM_Cli_Diff_Banks(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        qm::Diff_Result result =
            qm::Diff_Configurations(qm::Read_Configuration(Config().a), qm::Read_Configuration(Config().b));
        const qm::Image_Side_Load a = qm::Load_Image_Side(Config().a);
        const qm::Image_Side_Load b = qm::Load_Image_Side(Config().b);
        if (!a.ok || !b.ok) {
            state.SkipWithError((a.message + b.message).c_str());
            break;
        }
        result.Append(qm::Diff_Images(a.side, b.side));
        const std::string text = result.Text() + result.Summary();
        benchmark::DoNotOptimize(text.data());
        lines = result.Count();
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Cli_Diff_Banks)->Unit(benchmark::kMicrosecond);

// The parts of the comparison, to see where its time goes.
void BM_Part_Read_Files(benchmark::State& state) {
    for (auto _ : state) {
        const qm::Configuration_Files a = qm::Read_Configuration(Config().a);
        const qm::Configuration_Files b = qm::Read_Configuration(Config().b);
        benchmark::DoNotOptimize(a.s7.data.Read.data());
        benchmark::DoNotOptimize(b.s7.data.Read.data());
    }
}
BENCHMARK(BM_Part_Read_Files)->Unit(benchmark::kMicrosecond);

void BM_Part_Diff_Files(benchmark::State& state) {
    const qm::Configuration_Files a = qm::Read_Configuration(Config().a);
    const qm::Configuration_Files b = qm::Read_Configuration(Config().b);
    for (auto _ : state) {
        const qm::Diff_Result result = qm::Diff_Configurations(a, b);
        benchmark::DoNotOptimize(result.groups.data());
    }
}
BENCHMARK(BM_Part_Diff_Files)->Unit(benchmark::kMicrosecond);

void BM_Part_Build_Sides(benchmark::State& state) {
    for (auto _ : state) {
        const qm::Image_Side_Load a = qm::Load_Image_Side(Config().a);
        const qm::Image_Side_Load b = qm::Load_Image_Side(Config().b);
        benchmark::DoNotOptimize(a.side.banks.data());
        benchmark::DoNotOptimize(b.side.banks.data());
    }
}
BENCHMARK(BM_Part_Build_Sides)->Unit(benchmark::kMicrosecond);

void BM_Part_Diff_Images(benchmark::State& state) {
    const qm::Image_Side_Load a = qm::Load_Image_Side(Config().a);
    const qm::Image_Side_Load b = qm::Load_Image_Side(Config().b);
    for (auto _ : state) {
        const qm::Diff_Result result = qm::Diff_Images(a.side, b.side);
        benchmark::DoNotOptimize(result.groups.data());
    }
}
BENCHMARK(BM_Part_Diff_Images)->Unit(benchmark::kMicrosecond);

void BM_Report_Text(benchmark::State& state) {
    for (auto _ : state) {
        const std::string text = qm::Report_Text(qm::Make_Report(Config().a));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_Report_Text)->Unit(benchmark::kMillisecond);

void BM_Report_Html(benchmark::State& state) {
    for (auto _ : state) {
        const std::string html = qm::Report_Html(qm::Make_Report(Config().a));
        benchmark::DoNotOptimize(html.data());
    }
}
BENCHMARK(BM_Report_Html)->Unit(benchmark::kMillisecond);

#ifdef QM_BENCH_PDF
// The PDF of the largest configuration, written to a file as `report -o x.pdf` does.
void BM_Report_Pdf(benchmark::State& state) {
    const std::string path = (Config().root / "report.pdf").string();
    int pages = 0;
    for (auto _ : state) {
        const qm::gui::Pdf_Result written = qm::gui::Write_Report_Pdf(qm::Make_Report(Config().a), path);
        if (!written.ok) {
            state.SkipWithError(written.message.c_str());
            break;
        }
        pages = written.pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Report_Pdf)->Unit(benchmark::kMillisecond);
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef QM_BENCH_PDF
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
