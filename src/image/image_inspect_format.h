#pragma once
// The text side of the decoders: each bank's section and the collected problem and note lines.

#include <string>

#include "image/image_inspect.h"

namespace qm::inspect_detail {

class Text_Out {
public:
    explicit Text_Out(Inspect_Report& report) : report_(report) {}

    void Section(const std::string& title);    // a headed block, separated from the one before
    void Subsection(const std::string& title); // a part of a bank
    void Line(const std::string& line);
    // "problem: <where>: <text>" as a line of the text and in the report's list.
    void Problem(const std::string& where, const std::string& text);
    void Note(const std::string& where, const std::string& text);
    void Findings(const std::string& where, const Inspect_Findings& findings);

private:
    Inspect_Report& report_;
};

void Format_Bank1(const Bank1_Image& image, Image_Bytes bytes, const std::string& name, Text_Out& out);
void Format_Bank2(const Bank2_Image& image, Image_Bytes bytes, const std::string& name, const Inspect_Options& options,
                  Text_Out& out);
void Format_Bank3(const Bank3_Image& image, Image_Bytes bytes, const std::string& name, const Inspect_Options& options,
                  Text_Out& out);

} // namespace qm::inspect_detail
