#include "review/bank_diff.h"

#include <optional>


#include "image/image_inspect.h"
#include "image/image_inspect_fields.h"
#include "image/image_inspect_util.h"
#include "language/lang_table.h"
#include "review/review_texts.h"
#include "review/row_align.h"

namespace qm {

namespace rt = review_text;

int Bank_Number(const std::string& file_name, std::size_t size) { return Guess_Bank(file_name, size); }

bool Comparable(const Image_Side& a, const Image_Side& b) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (a.banks[i] && b.banks[i]) return true;
    }
    return false;
}

namespace {

std::string Hex5(std::uint32_t value) { return inspect_detail::Hex(value, 5); }

class Bank_Differ {
public:
    explicit Bank_Differ(Diff_Result& result) : result_(result) {}

    void Bank1(const Bank_Bytes& a, const Bank_Bytes& b) {
        group_ = a.name;
        Size(a, b, Bank1_Device_Address);
        const Bank1_Image image_a = Decode_Bank1(a.bytes);
        const Bank1_Image image_b = Decode_Bank1(b.bytes);
        const auto fields_a = Bank1_Fields(image_a, a.bytes);
        const auto fields_b = Bank1_Fields(image_b, b.bytes);
        for (std::size_t i = 0; i < fields_a.size() && i < fields_b.size(); ++i) {
            Field("", fields_a[i], fields_b[i]);
        }
        if (image_a.Reserved_Changes != image_b.Reserved_Changes) {
            std::string runs;
            for (const auto& [offset, length] : image_b.Reserved_Changes) {
                runs += (runs.empty() ? "" : ", ") + Hex5(static_cast<std::uint32_t>(Bank1_Device_Address + offset)) +
                        "+" + std::to_string(length);
            }
            Changed(Lang(rt::Reserved_Differ) + (runs.empty() ? Lang(rt::None) : runs));
        }
    }

    void Bank2(const Bank_Bytes& a, const Bank_Bytes& b) {
        group_ = a.name;
        Size(a, b, Bank2_Device_Address);
        const Bank2_Image image_a = Decode_Bank2(a.bytes);
        const Bank2_Image image_b = Decode_Bank2(b.bytes);
        auto keys = [](const Bank_Bytes& file, const Bank2_Image& image) {
            std::vector<std::string> out;
            for (const auto& r : image.records) {
                const std::size_t at = r.index * S7_Record_Size;
                out.emplace_back(reinterpret_cast<const char*>(file.bytes.data() + at), S7_Record_Size);
            }
            return out;
        };
        // A record's values are made when a changed stretch first needs them, and once: two
        // unrelated tables compare every record with every other.
        using Values = std::vector<std::string>;
        std::vector<std::optional<Values>> values_a(image_a.records.size());
        std::vector<std::optional<Values>> values_b(image_b.records.size());
        const auto values = [](const Bank2_Image& image, std::vector<std::optional<Values>>& cache, int i) -> const Values& {
            auto& slot = cache[static_cast<std::size_t>(i)];
            if (!slot) {
                slot.emplace();
                for (const auto& field : S7_Record_Fields(image.records[static_cast<std::size_t>(i)])) {
                    slot->push_back(field.value);
                }
            }
            return *slot;
        };
        const auto likeness = [&](int i, int j) {
            return Equal_Cells_Likeness(values(image_a, values_a, i), values(image_b, values_b, j));
        };
        for (const Aligned& step : Align_Rows(keys(a, image_a), keys(b, image_b), likeness)) {
            if (step.op == Align_Op::Same) continue;
            if (step.op == Align_Op::Added || step.op == Align_Op::Removed) {
                const bool added = step.op == Align_Op::Added;
                const S7_Record& r = added ? image_b.records[static_cast<std::size_t>(step.b)]
                                           : image_a.records[static_cast<std::size_t>(step.a)];
                const auto fields = S7_Record_Fields(r);
                const std::string what = Lang(r.is_write() ? rt::Write_Rule : rt::Read_Rule) + " " + fields[0].value +
                                         ":" + std::to_string(r.PLC_Port) + ", Position " + std::to_string(r.Position);
                result_.Add(group_, added ? Change_Kind::Added : Change_Kind::Removed,
                            Hex5(fields[0].address) + " " + Lang(rt::Record) + std::to_string(r.index) + ": " +
                                Lang(added ? rt::Added : rt::Removed) + ": " + what);
                continue;
            }
            const S7_Record& ra = image_a.records[static_cast<std::size_t>(step.a)];
            const S7_Record& rb = image_b.records[static_cast<std::size_t>(step.b)];
            std::string where = Lang(rt::Record) + std::to_string(rb.index);
            if (ra.index != rb.index) where += " (" + Lang(rt::Was) + Lang(rt::Record) + std::to_string(ra.index) + ")";
            const auto fields_a = S7_Record_Fields(ra);
            const auto fields_b = S7_Record_Fields(rb);
            for (std::size_t i = 0; i < fields_a.size(); ++i) Field(where + " ", fields_a[i], fields_b[i]);
        }
    }

    void Bank3(const Bank_Bytes& a, const Bank_Bytes& b) {
        group_ = a.name;
        Size(a, b, Bank3_Device_Address);
        const Bank3_Image image_a = Decode_Bank3(a.bytes);
        const Bank3_Image image_b = Decode_Bank3(b.bytes);
        if (image_a.NTP_Text != image_b.NTP_Text) {
            Changed(Hex5(Bank3_Device_Address) + " " + Lang(rt::NTP_Text) + ": " + Quote(image_a.NTP_Text) + " -> " +
                    Quote(image_b.NTP_Text));
        }
        const auto header_a = Bank3_Header_Fields(image_a);
        const auto header_b = Bank3_Header_Fields(image_b);
        for (std::size_t i = 0; i < header_a.size() && i < header_b.size(); ++i) {
            Field(Lang(rt::Header) + " ", header_a[i], header_b[i]);
        }
        // The strings the header points at, by what they are.
        for (const char* role : {"key", "key password", "server certificate", "root certificate", "password"}) {
            const Pool_String* sa = Find(image_a, role);
            const Pool_String* sb = Find(image_b, role);
            const std::string va = sa ? sa->bytes : std::string();
            const std::string vb = sb ? sb->bytes : std::string();
            if (va == vb) continue;
            const bool secret = std::string_view(role) != "server certificate" && std::string_view(role) != "root certificate";
            const std::uint32_t at = sb ? sb->address : 0;
            Changed(Hex5(at) + " " + role + ": " +
                    (secret ? Lang(rt::Changed) : Summary_Text(va) + " -> " + Summary_Text(vb)));
        }
        Known_Certs(image_a, image_b);
        Variables(image_a, image_b);
        if (moved_ > 0) Changed(std::to_string(moved_) + Lang(rt::Moved_Addresses));
    }

private:
    void Changed(std::string text) { result_.Add(group_, Change_Kind::Changed, std::move(text)); }

    static std::string Quote(const std::string& bytes) { return inspect_detail::Quote(bytes, String_Encoding::Low_Byte); }

    void Size(const Bank_Bytes& a, const Bank_Bytes& b, std::uint32_t device) {
        if (a.bytes.size() != b.bytes.size()) {
            Changed(Hex5(device) + " " + Lang(rt::Size) + ": " + std::to_string(a.bytes.size()) + " -> " +
                    std::to_string(b.bytes.size()));
        }
    }

    // Pointer fields move whenever a string before them changes length; they are counted, not listed.
    void Field(const std::string& where, const Image_Field& a, const Image_Field& b) {
        if (a.value == b.value) return;
        if (a.pointer) {
            ++moved_;
            return;
        }
        Changed(Hex5(b.address) + " " + where + b.name + ": " + a.value + " -> " + b.value);
    }

    static const Pool_String* Find(const Bank3_Image& image, const std::string& role) {
        for (const auto& s : image.strings) {
            if (s.role == role) return &s;
        }
        return nullptr;
    }

    static std::string Cert_Text(const Bank3_Image& image, std::size_t i) {
        const Pool_String* s = Find(image, "known certificate " + std::to_string(i));
        return s ? s->bytes : std::string();
    }

    void Known_Certs(const Bank3_Image& a, const Bank3_Image& b) {
        std::vector<std::string> keys_a;
        std::vector<std::string> keys_b;
        for (std::size_t i = 0; i < a.known_certs.size(); ++i) keys_a.push_back(Cert_Text(a, i));
        for (std::size_t i = 0; i < b.known_certs.size(); ++i) keys_b.push_back(Cert_Text(b, i));
        const std::string name = Lang(rt::Known_Certificate);
        for (const Aligned& step : Align_Rows(keys_a, keys_b)) {
            const auto ia = static_cast<std::size_t>(step.a);
            const auto ib = static_cast<std::size_t>(step.b);
            switch (step.op) {
            case Align_Op::Same:
                if (a.known_certs[ia].Certificate_Add != b.known_certs[ib].Certificate_Add) ++moved_;
                break;
            case Align_Op::Added:
                result_.Add(group_, Change_Kind::Added,
                            Hex5(Known_Cert_Entry_Address(ib)) + " " + name + std::to_string(ib) + ": " +
                                Lang(rt::Added) + ": " + Summary_Text(keys_b[ib]));
                break;
            case Align_Op::Removed:
                result_.Add(group_, Change_Kind::Removed,
                            Hex5(Known_Cert_Entry_Address(ia)) + " " + name + std::to_string(ia) + ": " +
                                Lang(rt::Removed) + ": " + Summary_Text(keys_a[ia]));
                break;
            case Align_Op::Changed:
                if (a.known_certs[ia].Certificate_Add != b.known_certs[ib].Certificate_Add) ++moved_;
                Changed(Hex5(Known_Cert_Entry_Address(ib)) + " " + name + std::to_string(ib) + ": " +
                        Summary_Text(keys_a[ia]) + " -> " + Summary_Text(keys_b[ib]));
                break;
            }
        }
    }

    static std::string Var_Name(const Bank3_Image& image, std::size_t i) {
        const Pool_String* s = Find(image, "variable " + std::to_string(i) + " name");
        return s ? s->bytes : std::string();
    }

    void Variables(const Bank3_Image& a, const Bank3_Image& b) {
        auto keys = [](const Bank3_Image& image) {
            std::vector<std::string> out;
            for (std::size_t i = 0; i < image.variables.size(); ++i) {
                std::string key = Var_Name(image, i);
                for (const auto& field : Var_Entry_Fields(image.variables[i], i, image.known_certs.size())) {
                    if (!field.pointer) key += '\x1F' + field.value;
                }
                out.push_back(std::move(key));
            }
            return out;
        };
        const std::string name = Lang(rt::Variable);
        for (const Aligned& step : Align_Rows(keys(a), keys(b))) {
            const auto ia = static_cast<std::size_t>(step.a);
            const auto ib = static_cast<std::size_t>(step.b);
            if (step.op == Align_Op::Same) {
                if (a.variables[ia].Name_Add != b.variables[ib].Name_Add) ++moved_;
                continue;
            }
            if (step.op == Align_Op::Added || step.op == Align_Op::Removed) {
                const bool added = step.op == Align_Op::Added;
                const Bank3_Image& image = added ? b : a;
                const std::size_t i = added ? ib : ia;
                const auto fields = Var_Entry_Fields(image.variables[i], i, image.known_certs.size());
                result_.Add(group_, added ? Change_Kind::Added : Change_Kind::Removed,
                            Hex5(fields[0].address) + " " + name + std::to_string(i) + ": " +
                                Lang(added ? rt::Added : rt::Removed) + ": " + Quote(Var_Name(image, i)) + ", " +
                                fields[1].value + ", Position " + fields[2].value);
                continue;
            }
            const auto fields_a = Var_Entry_Fields(a.variables[ia], ia, a.known_certs.size());
            const auto fields_b = Var_Entry_Fields(b.variables[ib], ib, b.known_certs.size());
            std::string where = name + std::to_string(ib);
            if (ia != ib) where += " (" + Lang(rt::Was) + name + std::to_string(ia) + ")";
            for (std::size_t k = 0; k < fields_a.size(); ++k) Field(where + " ", fields_a[k], fields_b[k]);
            const std::string name_a = Var_Name(a, ia);
            const std::string name_b = Var_Name(b, ib);
            if (name_a != name_b) {
                const Pool_String* s = Find(b, "variable " + std::to_string(ib) + " name");
                Changed(Hex5(s ? s->address : 0) + " " + where + " name: " + Quote(name_a) + " -> " + Quote(name_b));
            }
        }
    }

    Diff_Result& result_;
    std::string group_;
    std::size_t moved_ = 0;
};

} // namespace

Diff_Result Diff_Images(const Image_Side& a, const Image_Side& b) {
    Diff_Result result;
    Bank_Differ differ(result);
    if (a.banks[0] && b.banks[0]) differ.Bank1(*a.banks[0], *b.banks[0]);
    if (a.banks[1] && b.banks[1]) differ.Bank2(*a.banks[1], *b.banks[1]);
    if (a.banks[2] && b.banks[2]) differ.Bank3(*a.banks[2], *b.banks[2]);
    return result;
}

} // namespace qm
