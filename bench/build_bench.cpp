// Usage: build_bench [--cold-heap] [benchmark flags]
//        build_bench --write-config <folder>   writes the largest configuration and exits
//                                              (for timing `quillmaker-cli build` on it)
//
// By default the C library is told to keep freed memory, so that every repetition measures the
// same steady state: with its defaults, whether a repetition pays for fresh pages depends on
// what earlier repetitions left in the heap, and fresh pages cost more than the parse itself on
// some virtual machines. --cold-heap keeps the defaults (as a one-shot `quillmaker-cli build`
// runs).

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <malloc.h>
#include <unistd.h>

#include "image/image_builder.h"

namespace {
namespace fs = std::filesystem;

std::string Pem(const char* label, std::size_t bytes) {
    std::string text = std::string("-----BEGIN ") + label + "-----\n";
    const std::string line = "MIIFazCCA1OgAwIBAgIUbench0123456789abcdefghijklmnopqrstuvwxyzABCD\n";
    while (text.size() + line.size() < bytes) {
        text += line;
    }
    return text + "-----END " + label + "-----";
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// 512 read and 512 write rules, 50 variables, 10 certificates of 2 KB, every parameter set.
void Write_Largest_Configuration(const fs::path& dir) {
    fs::create_directories(dir / "bin");
    const char* pargen[][2] = {
        {"S7_Protocol_IP1", "10"}, {"S7_Protocol_IP2", "20"}, {"S7_Protocol_IP3", "30"}, {"S7_Protocol_IP4", "40"},
        {"S7_Protocol_SM1", "255"}, {"S7_Protocol_SM2", "255"}, {"S7_Protocol_SM3", "0"}, {"S7_Protocol_SM4", "0"},
        {"S7_Protocol_GAT1", "10"}, {"S7_Protocol_GAT2", "20"}, {"S7_Protocol_GAT3", "0"}, {"S7_Protocol_GAT4", "1"},
        {"S7_Protocol_EN_GAT", "1"},
        {"IEC61850_Server_IP1", "172"}, {"IEC61850_Server_IP2", "16"}, {"IEC61850_Server_IP3", "5"},
        {"IEC61850_Server_IP4", "9"}, {"IEC61850_Server_SM1", "255"}, {"IEC61850_Server_SM2", "255"},
        {"IEC61850_Server_SM3", "255"}, {"IEC61850_Server_SM4", "128"}, {"IEC61850_Server_GAT1", "172"},
        {"IEC61850_Server_GAT2", "16"}, {"IEC61850_Server_GAT3", "5"}, {"IEC61850_Server_GAT4", "1"},
        {"IEC61850_Server_EN_GAT", "1"}, {"IEC61850_Server_DNS1", "172"}, {"IEC61850_Server_DNS2", "16"},
        {"IEC61850_Server_DNS3", "5"}, {"IEC61850_Server_DNS4", "2"}, {"IEC61850_Server_EN_DNS", "1"},
        {"IEC61850_Server_Port", "3782"}, {"IEC61850_Server_Password", "Pässwörd"}, {"TLS_Server_Enable", "1"},
        {"TLS_Server_Key_Password", "key pass phrase"}, {"TLS_Server_Enable_Known_Cert", "1"},
        {"NTP_Server_URL", "ntp.plant-network.example"}, {"NTP_Poll_Time", "3600"}};
    std::string xml = "<Par_Gen>";
    for (const auto& [name, value] : pargen) {
        xml += std::string("<") + name + ">" + value + "</" + name + ">";
    }
    xml += "<TLS_Server_Key>" + Pem("PRIVATE KEY", 2048) + "</TLS_Server_Key>";
    xml += "<TLS_Server_Server_Certificate>" + Pem("CERTIFICATE", 2048) + "</TLS_Server_Server_Certificate>";
    xml += "<TLS_Server_Root_Certificate>" + Pem("CERTIFICATE", 2048) + "</TLS_Server_Root_Certificate>";
    Write(dir / "ParGen.xml", xml + "</Par_Gen><!--SW_VERSION = 1.000-->");

    const char* types[] = {"Logo0BA8", "S7200", "S7300", "S7400", "S71200", "S71500"};
    const char* data[] = {"Bit", "Byte", "Char", "Word", "Int", "DWord", "DInt", "Real"};
    const char* ids[] = {"OB", "DB", "SDB", "FC", "SFC", "FB", "SFB"};
    const char* areas[] = {"Direct peripheral access (P)", "Inputs (I)", "Output (Q)", "Flags (M) (Merker)"};
    const auto rule = [&](int i, bool write) {
        std::string r = "<row Enable=\"Y\" PLC_Address=\"192.168." + std::to_string(i % 10) + "." +
                        std::to_string(10 + i % 200) + "\" PLC_Port=\"102\" PLC_Type=\"" + types[i % 6] +
                        "\" Rack=\"0\" Slot=\"" + std::to_string(i % 4) + "\" Data_Type=\"" + data[i % 8] +
                        "\" Data_Identifier=\"" + ids[i % 7] + "\" DB_Number=\"" + std::to_string(i) +
                        "\" PLC_Area=\"" + areas[i % 4] + "\" PLC_Add=\"" + std::to_string(i * 4) +
                        "\" PLC_Bit=\"" + std::to_string(i % 8) + "\" PollTime=\"" + std::to_string(100 + i) + "\"";
        if (write) {
            r += " OnChange=\"Y\" OnCMD=\"N\"";
        }
        return r + " Position=\"" + std::to_string(i % 1500) + "\" Bit=\"" + std::to_string(i % 8) +
               "\" Swap=\"Y\" SwapWord=\"N\" Mnemonic=\"Rule number " + std::to_string(i) + "\"/>";
    };
    xml = "<S7_Protocol><S7_Protocol_Read>";
    for (int i = 0; i < 512; ++i) {
        xml += rule(i, false);
    }
    xml += "</S7_Protocol_Read><S7_Protocol_Write>";
    for (int i = 0; i < 512; ++i) {
        xml += rule(i, true);
    }
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

struct Configuration {
    fs::path dir;
    Configuration() : dir(fs::temp_directory_path() / ("qm_build_bench_" + std::to_string(::getpid()))) {
        Write_Largest_Configuration(dir);
    }
    ~Configuration() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const Configuration& Config() {
    static const Configuration config;
    return config;
}

void BM_Build_And_Write(benchmark::State& state) {
    const std::string dir = Config().dir.string();
    const qm::Build_Files files = qm::Build_Files_In(dir);
    auto image = std::make_unique<qm::Device_Image>();
    for (auto _ : state) {
        const qm::Build_Result built = qm::Build_Device_Image(*image, files);
        const qm::Build_Result written = qm::Write_Bank_Files(*image, dir);
        if (!built || !written) {
            state.SkipWithError((built.message + written.message).c_str());
            break;
        }
    }
    state.counters["bank3_bytes"] = static_cast<double>(image->Banks[2].length);
    state.counters["rules"] = image->Rule_Count;
}
BENCHMARK(BM_Build_And_Write)->Unit(benchmark::kMicrosecond);

void BM_Build_Only(benchmark::State& state) {
    const qm::Build_Files files = qm::Build_Files_In(Config().dir.string());
    auto image = std::make_unique<qm::Device_Image>();
    for (auto _ : state) {
        if (!qm::Build_Device_Image(*image, files)) {
            state.SkipWithError("build failed");
            break;
        }
    }
}
BENCHMARK(BM_Build_Only)->Unit(benchmark::kMicrosecond);

// The floor: pugixml loading the four files with the options the program parses with.
void BM_Parse_Only(benchmark::State& state) {
    const qm::Build_Files files = qm::Build_Files_In(Config().dir.string());
    const std::string paths[] = {files.ParGen_File, files.S7_Protocol_File, files.IEC61850_Variables_File,
                                 files.TLS_Known_Cert_File};
    constexpr unsigned options =
        pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_comments | pugi::parse_pi;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            pugi::xml_document doc;
            if (!doc.load_file(path.c_str(), options)) {
                state.SkipWithError("parse failed");
                return;
            }
            benchmark::DoNotOptimize(doc.first_child().internal_object());
        }
    }
}
BENCHMARK(BM_Parse_Only)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-config") == 0) {
        Write_Largest_Configuration(argv[2]);
        std::printf("largest configuration written to %s\n", argv[2]);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--cold-heap") == 0) {
        argv[1] = argv[0];
        --argc;
        ++argv;
    } else {
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
