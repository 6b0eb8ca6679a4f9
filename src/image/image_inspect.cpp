#include "image/image_inspect.h"

#include <algorithm>

#include "image/image_inspect_format.h"
#include "image/image_inspect_util.h"

namespace qm {

namespace inspect_detail {

void Text_Out::Section(const std::string& title) {
    if (!report_.text.empty()) report_.text += '\n';
    report_.text += "== " + title + " ==\n";
}

void Text_Out::Subsection(const std::string& title) { report_.text += "  -- " + title + '\n'; }

void Text_Out::Line(const std::string& line) { report_.text += line + '\n'; }

void Text_Out::Problem(const std::string& where, const std::string& text) {
    report_.problems.push_back(where + ": " + text);
    report_.text += "  problem: " + report_.problems.back() + '\n';
}

void Text_Out::Note(const std::string& where, const std::string& text) {
    report_.notes.push_back(where + ": " + text);
    report_.text += "  note: " + report_.notes.back() + '\n';
}

void Text_Out::Findings(const std::string& where, const Inspect_Findings& findings) {
    for (const auto& problem : findings.problems) Problem(where, problem);
    for (const auto& note : findings.notes) Note(where, note);
}

} // namespace inspect_detail

using namespace inspect_detail;

Inspect_Report Inspect_Banks(const std::optional<Bank_File>& bank1, const std::optional<Bank_File>& bank2,
                             const std::optional<Bank_File>& bank3, const Inspect_Options& options) {
    Inspect_Report report;
    Text_Out out(report);

    std::optional<Bank1_Image> block;
    if (bank1) {
        block = Decode_Bank1(bank1->bytes);
        Format_Bank1(*block, bank1->bytes, bank1->name, out);
    }
    if (bank2) {
        // The rule count is only worth comparing when the block holds it.
        std::optional<std::uint32_t> count;
        if (block && block->size >= 0x658 + 4) count = block->S7_Rule_Count;
        const Bank2_Image table = Decode_Bank2(bank2->bytes, count);
        Format_Bank2(table, bank2->bytes, bank2->name, options, out);
    }
    if (bank3) {
        const Bank3_Image area = Decode_Bank3(bank3->bytes);
        Format_Bank3(area, bank3->bytes, bank3->name, options, out);
        if (block && block->size >= 0x03C + 4) {
            const bool has_text = !bank3->bytes.empty() && bank3->bytes[0] != 0;
            if (block->NTP_Text_Address == Bank3_Device_Address && !has_text) {
                out.Problem(bank1->name + " and " + bank3->name,
                            "NTP_Text_Address is 0xA0000, but the NTP text area is empty");
            } else if (block->NTP_Text_Address == 0 && has_text) {
                out.Problem(bank1->name + " and " + bank3->name,
                            "NTP_Text_Address is 0, so the device ignores the NTP text " +
                                Quote(area.NTP_Text, String_Encoding::Low_Byte));
            }
        }
    }

    report.text += '\n';
    if (report.problems.empty()) {
        report.text += "no problems found";
    } else {
        report.text += std::to_string(report.problems.size()) + (report.problems.size() == 1 ? " problem" : " problems");
    }
    if (!report.notes.empty()) {
        report.text += ", " + std::to_string(report.notes.size()) + (report.notes.size() == 1 ? " note" : " notes");
    }
    report.text += '\n';
    return report;
}

int Guess_Bank(const std::string& file_name, std::size_t size) {
    std::string lower = file_name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c); });
    int by_name = 0;
    for (int bank = 1; bank <= 3; ++bank) {
        if (lower.find("bank" + std::to_string(bank)) != std::string::npos) {
            if (by_name != 0) return 0; // "bank1-vs-bank2.bin" tells nothing
            by_name = bank;
        }
    }
    if (by_name != 0) return by_name;
    if (size == Bank1_Size) return 1;
    if (size == Bank2_Size) return 2;
    if (size >= Bank3_Min_Size && size <= Image_Buffer_Size) return 3;
    return 0;
}

} // namespace qm
