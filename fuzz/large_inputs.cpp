// Measures how the readers, the editors' writers and the image builder cope with huge and
// hostile inputs. Each case runs in a child process so that its peak memory is its own:
//
//   qm_large_inputs [case ...]      (no case: all of them)
//
// and prints one Markdown table row per case: input size, wall time, peak resident memory and
// what the program did with the input. The inputs are generated in a scratch folder that is
// removed afterwards; nothing of them is kept.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "image/image_builder.h"
#include "language/lang_table.h"
#include "parameters/par_gen.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    std::uint64_t input_bytes = 0;
    std::string what;
};

std::string Scratch;

std::string Project() {
    const std::string dir = qm::Path_Join(Scratch, "Project");
    qm::Make_Dir(dir);
    qm::Make_Dir(qm::Path_Join(dir, "bin"));
    return dir;
}

std::uint64_t Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes.size();
}

std::string Short(std::string message) {
    if (message.size() > 160) {
        message = message.substr(0, 157) + "...";
    }
    for (char& c : message) {
        if (c == '\n' || c == '|') {
            c = ' ';
        }
    }
    return message;
}

std::string Build_Outcome(const std::string& project) {
    auto image = std::make_unique<qm::Device_Image>();
    const qm::Build_Result built = qm::Build_Device_Image(*image, qm::Build_Files_In(project));
    if (!built) {
        return "build refused: " + Short(built.message);
    }
    const qm::Build_Result written = qm::Write_Bank_Files(*image, project);
    return written ? "built; bank3.bin " + std::to_string(image->Banks[2].length) + " bytes"
                   : "not written: " + Short(written.message);
}

std::string S7_Row(int i) {
    return "<row Enable=\"Y\" PLC_Address=\"10.0." + std::to_string(i / 250 % 250) + "." + std::to_string(i % 250 + 1) +
           "\" PLC_Port=\"102\" PLC_Type=\"S71500\" Rack=\"0\" Slot=\"1\" Data_Type=\"Word\" Data_Identifier=\"DB\" "
           "DB_Number=\"1\" PLC_Area=\"Flags (M) (Merker)\" PLC_Add=\"" +
           std::to_string(i % 65536) +
           "\" PLC_Bit=\"0\" PollTime=\"1000\" Position=\"0\" Bit=\"0\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"rule " +
           std::to_string(i) + "\"/>";
}

Outcome S7_100k_Rows() {
    const std::string project = Project();
    std::string xml = "<S7_Protocol><S7_Protocol_Read>";
    for (int i = 0; i < 100000; ++i) {
        xml += S7_Row(i);
    }
    xml += "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol><!--SW_VERSION = 1.003-->";
    const std::string path = qm::Path_Join(project, "S7_Protocol.xml");
    Outcome o{Write(path, xml), {}};
    const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(path);
    o.what = "editor: " + std::to_string(qm::List_Length(read.data.Read, qm::S7_Read_Col::PLC_Address, qm::S7_Rows)) +
             " rows loaded, " + Short(read.info.Message()) + "; " + Build_Outcome(project);
    return o;
}

Outcome Language_50_MB() {
    std::string text = "\xEF\xBB\xBF; a translation far larger than any real one\r\n";
    int i = 0;
    while (text.size() < 50ULL * 1024 * 1024) {
        text += "STR" + std::to_string(i % 1900) + " = Text number " + std::to_string(i) + " \xC2\xB6 kept \xC2\xB6\r\n";
        ++i;
    }
    const std::string path = qm::Path_Join(Scratch, "Huge.lng");
    Outcome o{Write(path, text), {}};
    const qm::Language_Load_Result loaded = qm::Load_Language_File(path);
    o.what = loaded.ok ? std::to_string(loaded.lines_applied) + " lines applied" : "refused: " + Short(loaded.message);
    return o;
}

Outcome Certificate_10_MB() {
    const std::string project = Project();
    std::string cert = "-----BEGIN CERTIFICATE-----\n";
    while (cert.size() < 10ULL * 1024 * 1024) {
        cert += "MIIBszCCAVmgAwIBAgIUJq3xZ7rL0sO5n1ZyKxq8m4xY2v0wCgYIKoZIzj0EAwIw\n";
    }
    cert += "-----END CERTIFICATE-----";
    // Line breaks inside an attribute are written as character references, as the editor does.
    std::string escaped;
    for (const char c : cert) {
        escaped += c == '\n' ? std::string("&#10;") : std::string(1, c);
    }
    const std::string path = qm::Path_Join(project, "TLS_Known_Cert.xml");
    Outcome o{Write(path, "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"" + escaped +
                              "\" Mnemonic=\"huge\"/></TLS_Server_Known_Cert>"),
              {}};
    const qm::Table_Read_Result read = qm::Read_TLS_Known_Cert_File(path);
    const qm::Table_Save_Result saved = qm::Save_TLS_Known_Cert_File(path, read.rows, !read.info.complete);
    // The builder copies known certificates only with TLS and known certificates switched on.
    qm::Par_Gen_Set set = qm::Par_Gen_Defaults();
    set.Set_Flag(qm::Par_Id::TLS_Server_Enable, true);
    set.Set_Flag(qm::Par_Id::TLS_Server_Enable_Known_Cert, true);
    qm::Save_Par_Gen(set, qm::Path_Join(project, "ParGen.xml"), false);
    o.what = "editor: certificate of " + std::to_string(read.rows[0][1].size()) + " bytes loaded, " +
             (saved ? "saved" : "save failed: " + Short(saved.message)) + "; " + Build_Outcome(project);
    return o;
}

Outcome Not_Xml_100_MB() {
    const std::string project = Project();
    std::string junk(100ULL * 1024 * 1024, '\0');
    std::uint32_t x = 2463534242U;
    for (char& c : junk) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    junk[0] = '<'; // past the first byte, as far as a parser may go
    const std::string path = qm::Path_Join(project, "ParGen.xml");
    Outcome o{Write(path, junk), {}};
    const qm::Par_Gen_Read read = qm::Read_Par_Gen(path);
    const std::string lng = qm::Path_Join(Scratch, "Junk.lng");
    fs::copy_file(path, lng);
    const qm::Language_Load_Result language = qm::Load_Language_File(lng);
    o.what = "parameters: " + Short(read.message) + "; language: " + Short(language.message) + "; " + Build_Outcome(project);
    return o;
}

Outcome Deep_Xml() {
    const std::string project = Project();
    constexpr int Depth = 1000000;
    std::string xml;
    xml.reserve(Depth * 7 + 64);
    xml += "<Par_Gen>";
    for (int i = 0; i < Depth; ++i) {
        xml += "<a>";
    }
    for (int i = 0; i < Depth; ++i) {
        xml += "</a>";
    }
    xml += "<NTP_Poll_Time>77</NTP_Poll_Time></Par_Gen>";
    const std::string path = qm::Path_Join(project, "ParGen.xml");
    Outcome o{Write(path, xml), {}};
    // The same nesting inside a list file's section.
    std::string list = "<IEC61850_Variables>";
    for (int i = 0; i < Depth; ++i) {
        list += "<row>";
    }
    for (int i = 0; i < Depth; ++i) {
        list += "</row>";
    }
    list += "</IEC61850_Variables>";
    o.input_bytes += Write(qm::Path_Join(project, "IEC61850_Variables.xml"), list);
    const qm::Par_Gen_Read read = qm::Read_Par_Gen(path);
    const qm::Table_Read_Result vars = qm::Read_IEC61850_Variables_File(qm::Path_Join(project, "IEC61850_Variables.xml"));
    o.what = "1 000 000 levels; parameters: NTP_Poll_Time " + read.set[qm::Par_Id::NTP_Poll_Time] +
             (read.complete ? "" : ", " + Short(read.message)) + "; variables: " +
             std::to_string(qm::List_Length(vars.rows, qm::Var_Col::Name, qm::Variable_Rows)) + " loaded; " +
             Build_Outcome(project);
    return o;
}

Outcome Ntp_1_MB() {
    const std::string project = Project();
    qm::Par_Gen_Set set = qm::Par_Gen_Defaults();
    std::string ntp;
    while (ntp.size() < 1024 * 1024) {
        ntp += "ntp.example.org ";
    }
    set[qm::Par_Id::NTP_Server_URL] = ntp;
    const std::string path = qm::Path_Join(project, "ParGen.xml");
    const qm::Par_Gen_Save saved = qm::Save_Par_Gen(set, path, false);
    Outcome o{fs::file_size(path), {}};
    const qm::Par_Gen_Read read = qm::Read_Par_Gen(path);
    o.what = std::string(saved.ok ? "saved" : "save failed") + ", read back " +
             (read.set == set ? "identical" : "DIFFERENT") + "; " + Build_Outcome(project);
    return o;
}

Outcome Astral_Names() {
    const std::string project = Project();
    const std::string astral = "\xF0\x9D\x94\x98\xF0\x9F\x98\x80 \xF0\xA0\x80\x80"; // U+1D518 U+1F600 U+20000
    qm::Table_Rows vars = qm::Reset_IEC61850_Variables();
    for (int r = 0; r < qm::Variable_Rows; ++r) {
        qm::Table_Row& row = vars[static_cast<std::size_t>(r)];
        row = {"Y", astral + std::to_string(r), "Int", "2", "N", std::to_string(r), "", "None", "None", "N", "N", astral};
    }
    const std::string path = qm::Path_Join(project, "IEC61850_Variables.xml");
    const qm::Table_Save_Result saved = qm::Save_IEC61850_Variables_File(path, vars, false);
    const qm::Table_Read_Result read = qm::Read_IEC61850_Variables_File(path);
    Outcome o{fs::file_size(path), {}};
    const std::string folder = qm::Path_Join(Scratch, "Anlage " + astral);
    const bool made = qm::Make_Dir(folder) && qm::Make_Dir(qm::Path_Join(folder, "bin"));
    fs::copy_file(path, qm::Path_Join(folder, "IEC61850_Variables.xml"));
    o.what = std::string(saved ? "saved" : "save failed") + ", read back " + (read.rows == vars ? "identical" : "DIFFERENT") +
             "; " + Build_Outcome(project) + "; folder with the same name: " +
             (made ? Build_Outcome(folder) : "could not be created");
    return o;
}

struct Case {
    const char* name;
    Outcome (*run)();
};

const Case Cases[] = {
    {"s7_100k_rows", S7_100k_Rows},       {"language_50mb", Language_50_MB}, {"certificate_10mb", Certificate_10_MB},
    {"not_xml_100mb", Not_Xml_100_MB},    {"deep_xml", Deep_Xml},            {"ntp_1mb", Ntp_1_MB},
    {"astral_names", Astral_Names},
};

int Run_Case(const Case& c) {
    char pattern[] = "/tmp/qm_large_XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    Scratch = pattern;
    int fds[2];
    if (::pipe(fds) != 0) {
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const Outcome o = c.run();
        const std::string line = std::to_string(o.input_bytes) + "\t" + o.what;
        (void)!::write(fds[1], line.data(), line.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string reply;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::error_code ec;
    fs::remove_all(Scratch, ec);

    const std::size_t tab = reply.find('\t');
    const std::string bytes = tab == std::string::npos ? "?" : reply.substr(0, tab);
    std::string what = tab == std::string::npos ? "" : reply.substr(tab + 1);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        what = "CRASHED (status " + std::to_string(status) + ") " + what;
    }
    const double mib = static_cast<double>(std::stoull(bytes == "?" ? "0" : bytes)) / (1024.0 * 1024.0);
    std::printf("| %s | %.1f MiB | %.2f s | %ld MiB | %s |\n", c.name, mib, seconds, usage.ru_maxrss / 1024, what.c_str());
    std::fflush(stdout);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<const Case*> chosen;
    for (int i = 1; i < argc; ++i) {
        for (const Case& c : Cases) {
            if (std::string(argv[i]) == c.name) {
                chosen.push_back(&c);
            }
        }
    }
    if (argc > 1 && chosen.empty()) {
        std::fprintf(stderr, "cases:");
        for (const Case& c : Cases) {
            std::fprintf(stderr, " %s", c.name);
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    if (chosen.empty()) {
        for (const Case& c : Cases) {
            chosen.push_back(&c);
        }
    }
    std::printf("| case | input | time | peak memory | outcome |\n|---|---|---|---|---|\n");
    int failures = 0;
    for (const Case* c : chosen) {
        failures += Run_Case(*c);
    }
    return failures == 0 ? 0 : 1;
}
