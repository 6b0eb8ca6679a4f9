#include "review/bank_diff.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "image/image_inspect.h"
#include "image/image_inspect_fields.h"
#include "image/image_inspect_util.h"
#include "language/lang_table.h"
#include "review/review_texts.h"
#include "review/row_align.h"

namespace qm {

namespace rt = review_text;

namespace {
// As the builder names them (its header and the decoder's do not meet in one file).
constexpr std::array<const char*, 3> Bank_Names = {"bank1.bin", "bank2.bin", "bank3.bin"};
} // namespace

int Bank_Number(const std::string& file_name) {
    std::string lower = file_name;
    for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    for (std::size_t i = 0; i < Bank_Names.size(); ++i) {
        if (lower == Bank_Names[i]) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string Bank_Size_Problem(const std::string& path, int bank, std::uint64_t size) {
    const std::uint64_t low = bank == 1 ? Bank1_Size : bank == 2 ? Bank2_Size : Bank3_Min_Size;
    const std::uint64_t high = bank == 1 ? Bank1_Size : bank == 2 ? Bank2_Size : Image_Buffer_Size;
    if (size >= low && size <= high) return {};
    std::string sizes = std::to_string(low);
    if (high != low) sizes += Lang(rt::To) + std::to_string(high);
    return path + ": " + std::to_string(size) + Lang(rt::Bank_Size_Is) +
           Bank_Names[static_cast<std::size_t>(bank - 1)] + Lang(rt::Bank_Sizes) + sizes + Lang(rt::Bytes);
}

bool Comparable(const Image_Side& a, const Image_Side& b) {
    if (!a.single_bank && !b.single_bank) return true;
    for (std::size_t i = 0; i < 3; ++i) {
        if (a.banks[i] && b.banks[i]) return true;
    }
    return false;
}

namespace {

std::string Hex5(std::uint32_t value) { return inspect_detail::Hex(value, 5); }

// Entry sizes of bank 3, as the decoder reads them.
constexpr std::size_t Cert_Entry_Bytes = 8;
constexpr std::size_t Var_Entry_Bytes = 32;

// The byte positions (file offsets) of one bank that a line already speaks for. Marks are
// collected as ranges and laid out once, so that many overlapping ranges (a crafted pool whose
// entries all point at one long string) cost no more than the bank's size.
class Explained {
public:
    Explained(std::uint32_t device, std::size_t size) : device_(device), size_(size) {}
    // Marks [address, address + length) given as device addresses; anything outside is ignored.
    void Mark(std::uint64_t address, std::uint64_t length) {
        if (address < device_ || address - device_ >= size_ || length == 0) return;
        const std::uint64_t from = address - device_;
        const std::uint64_t to = std::min<std::uint64_t>(size_, from + std::min<std::uint64_t>(length, size_));
        ranges_.emplace_back(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
        laid_out_ = false;
    }
    bool operator[](std::size_t offset) {
        if (!laid_out_) Lay_Out();
        return offset < bytes_.size() && bytes_[offset];
    }

private:
    void Lay_Out() {
        std::vector<int> depth(size_ + 1, 0);
        for (const auto& [from, to] : ranges_) {
            ++depth[from];
            --depth[to];
        }
        bytes_.assign(size_, false);
        int open = 0;
        for (std::size_t i = 0; i < size_; ++i) {
            open += depth[i];
            bytes_[i] = open > 0;
        }
        laid_out_ = true;
    }

    std::uint32_t device_;
    std::size_t size_;
    std::vector<std::pair<std::size_t, std::size_t>> ranges_;
    std::vector<bool> bytes_;
    bool laid_out_ = false;
};

// The strings of a pool by role, looked up once each instead of by a walk over the pool.
class Pool_Index {
public:
    explicit Pool_Index(const Bank3_Image& image) {
        for (const auto& s : image.strings) by_role_.try_emplace(s.role, &s);
    }
    const Pool_String* Find(const std::string& role) const {
        const auto it = by_role_.find(role);
        return it == by_role_.end() ? nullptr : it->second;
    }
    std::string Text(const std::string& role) const {
        const Pool_String* s = Find(role);
        return s ? s->bytes : std::string();
    }

private:
    std::unordered_map<std::string, const Pool_String*> by_role_;
};

// Each field of a list runs up to the next one; the last up to end.
std::vector<std::uint32_t> Field_Ends(const std::vector<Image_Field>& fields, std::uint32_t end) {
    std::vector<std::uint32_t> ends;
    for (std::size_t i = 0; i < fields.size(); ++i) ends.push_back(i + 1 < fields.size() ? fields[i + 1].address : end);
    return ends;
}

class Bank_Differ {
public:
    explicit Bank_Differ(Diff_Result& result) : result_(result) {}

    void Bank1(const Bank_Bytes& a, const Bank_Bytes& b) {
        Begin(a, b, Bank1_Device_Address);
        const Bank1_Image image_a = Decode_Bank1(a.bytes);
        const Bank1_Image image_b = Decode_Bank1(b.bytes);
        const auto fields_a = Bank1_Fields(image_a, a.bytes);
        const auto fields_b = Bank1_Fields(image_b, b.bytes);
        // Every field of the block is one 32-bit word; the bytes between are reserved and
        // compared by value with the rest below.
        for (std::size_t i = 0; i < fields_a.size() && i < fields_b.size(); ++i) {
            Field("", fields_a[i], fields_b[i], fields_b[i].address + 4);
        }
        Byte_Runs(a, b);
    }

    void Bank2(const Bank_Bytes& a, const Bank_Bytes& b) {
        Begin(a, b, Bank2_Device_Address);
        // Every used record, also those after an unused one: the device reads the whole table.
        const auto records = [](const Bank_Bytes& file) {
            std::vector<S7_Record> out;
            for (std::size_t i = 0; (i + 1) * S7_Record_Size <= file.bytes.size(); ++i) {
                const auto first = file.bytes.begin() + static_cast<std::ptrdiff_t>(i * S7_Record_Size);
                if (std::all_of(first, first + S7_Record_Size, [](std::uint8_t v) { return v == 0; })) continue;
                out.push_back(Decode_S7_Record(file.bytes, i));
            }
            return out;
        };
        const std::vector<S7_Record> records_a = records(a);
        const std::vector<S7_Record> records_b = records(b);
        auto keys = [](const Bank_Bytes& file, const std::vector<S7_Record>& list) {
            std::vector<std::string> out;
            for (const auto& r : list) {
                const std::size_t at = r.index * S7_Record_Size;
                out.emplace_back(reinterpret_cast<const char*>(file.bytes.data() + at), S7_Record_Size);
            }
            return out;
        };
        // A record's values are made when a changed stretch first needs them, and once: two
        // unrelated tables compare every record with every other.
        using Values = std::vector<std::string>;
        std::vector<std::optional<Values>> values_a(records_a.size());
        std::vector<std::optional<Values>> values_b(records_b.size());
        const auto values = [](const std::vector<S7_Record>& list, std::vector<std::optional<Values>>& cache,
                               int i) -> const Values& {
            auto& slot = cache[static_cast<std::size_t>(i)];
            if (!slot) {
                slot.emplace();
                for (const auto& field : S7_Record_Fields(list[static_cast<std::size_t>(i)])) slot->push_back(field.value);
            }
            return *slot;
        };
        const auto likeness = [&](int i, int j) {
            return Equal_Cells_Likeness(values(records_a, values_a, i), values(records_b, values_b, j));
        };
        const auto record_at = [](const S7_Record& r) {
            return static_cast<std::uint32_t>(Bank2_Device_Address + r.index * S7_Record_Size);
        };
        for (const Aligned& step : Align_Rows(keys(a, records_a), keys(b, records_b), likeness)) {
            const S7_Record* ra = step.a >= 0 ? &records_a[static_cast<std::size_t>(step.a)] : nullptr;
            const S7_Record* rb = step.b >= 0 ? &records_b[static_cast<std::size_t>(step.b)] : nullptr;
            // A record that moved, or changed, accounts for its place on both sides.
            if (step.op != Align_Op::Same || ra->index != rb->index) {
                if (ra) explained_->Mark(record_at(*ra), S7_Record_Size);
                if (rb) explained_->Mark(record_at(*rb), S7_Record_Size);
            }
            if (step.op == Align_Op::Same) continue;
            if (step.op == Align_Op::Added || step.op == Align_Op::Removed) {
                const bool added = step.op == Align_Op::Added;
                const S7_Record& r = added ? *rb : *ra;
                const auto fields = S7_Record_Fields(r);
                const std::string what = Lang(r.is_write() ? rt::Write_Rule : rt::Read_Rule) + " " + fields[0].value +
                                         ":" + std::to_string(r.PLC_Port) + ", Position " + std::to_string(r.Position);
                result_.Add(group_, added ? Change_Kind::Added : Change_Kind::Removed,
                            Hex5(fields[0].address) + " " + Lang(rt::Record) + std::to_string(r.index) + ": " +
                                Lang(added ? rt::Added : rt::Removed) + ": " + what);
                continue;
            }
            std::string where = Lang(rt::Record) + std::to_string(rb->index);
            if (ra->index != rb->index) where += " (" + Lang(rt::Was) + Lang(rt::Record) + std::to_string(ra->index) + ")";
            const auto fields_a = S7_Record_Fields(*ra);
            const auto fields_b = S7_Record_Fields(*rb);
            const auto ends = Field_Ends(fields_b, record_at(*rb) + static_cast<std::uint32_t>(S7_Record_Size));
            for (std::size_t i = 0; i < fields_a.size(); ++i) Field(where + " ", fields_a[i], fields_b[i], ends[i]);
        }
        Byte_Runs(a, b);
    }

    void Bank3(const Bank_Bytes& a, const Bank_Bytes& b) {
        Begin(a, b, Bank3_Device_Address);
        const Bank3_Image image_a = Decode_Bank3(a.bytes);
        const Bank3_Image image_b = Decode_Bank3(b.bytes);
        const Pool_Index pool_a(image_a);
        const Pool_Index pool_b(image_b);
        if (image_a.NTP_Text != image_b.NTP_Text) {
            Changed(Hex5(Bank3_Device_Address) + " " + Lang(rt::NTP_Text) + ": " + Quote(image_a.NTP_Text) + " -> " +
                    Quote(image_b.NTP_Text));
            // The texts and their terminating zeros; what follows them in the area is compared by value.
            explained_->Mark(Bank3_Device_Address, std::max(image_a.NTP_Text.size(), image_b.NTP_Text.size()) + 1);
        }
        const auto header_a = Bank3_Header_Fields(image_a);
        const auto header_b = Bank3_Header_Fields(image_b);
        const auto header_ends = Field_Ends(header_b, Bank3_Header_Address + static_cast<std::uint32_t>(Bank3_Header_Size));
        for (std::size_t i = 0; i < header_a.size() && i < header_b.size(); ++i) {
            Field(Lang(rt::Header) + " ", header_a[i], header_b[i], header_ends[i]);
        }
        // The strings the header points at, by what they are.
        for (const char* role : {"key", "key password", "server certificate", "root certificate", "password"}) {
            const Pool_String* sa = pool_a.Find(role);
            const Pool_String* sb = pool_b.Find(role);
            const std::string va = sa ? sa->bytes : std::string();
            const std::string vb = sb ? sb->bytes : std::string();
            if (va == vb) continue;
            const bool secret = std::string_view(role) != "server certificate" && std::string_view(role) != "root certificate";
            const std::uint32_t at = sb ? sb->address : 0;
            Changed(Hex5(at) + " " + role + ": " +
                    (secret ? Lang(rt::Changed) : Summary_Text(va) + " -> " + Summary_Text(vb)));
        }
        Known_Certs(image_a, image_b, pool_a, pool_b);
        Variables(image_a, image_b, pool_a, pool_b);
        if (moved_ > 0) Changed(std::to_string(moved_) + Lang(rt::Moved_Addresses));
        // A string equal on both sides at the same place has equal bytes; one that moved or
        // changed has its line above. The empty markers move with the entries before them.
        for (const Bank3_Image* image : {&image_a, &image_b}) {
            for (const auto& s : image->strings) {
                if (s.readable && !s.empty_reference) explained_->Mark(s.address, s.bytes.size() + 1);
            }
        }
        if (image_a.marker_offset != image_b.marker_offset) {
            for (const Bank3_Image* image : {&image_a, &image_b}) {
                if (image->marker_offset) explained_->Mark(Bank3_Device_Address + *image->marker_offset, 1);
            }
        }
        Byte_Runs(a, b);
    }

    // A bank that one bin folder has and the other lacks.
    void Only_One(const Bank_Bytes& bank, bool in_b) {
        result_.Add(bank.name, in_b ? Change_Kind::Added : Change_Kind::Removed, Lang(rt::Only_One_Side));
    }

private:
    void Changed(std::string text) { result_.Add(group_, Change_Kind::Changed, std::move(text)); }

    static std::string Quote(const std::string& bytes) { return inspect_detail::Quote(bytes, String_Encoding::Low_Byte); }

    void Begin(const Bank_Bytes& a, const Bank_Bytes& b, std::uint32_t device) {
        group_ = a.name;
        device_ = device;
        moved_ = 0;
        lines_before_ = result_.Count();
        explained_.emplace(device, std::max(a.bytes.size(), b.bytes.size()));
        if (a.bytes.size() != b.bytes.size()) {
            Changed(Hex5(device) + " " + Lang(rt::Size) + ": " + std::to_string(a.bytes.size()) + " -> " +
                    std::to_string(b.bytes.size()));
            // The longer side's tail is the size line's.
            const std::size_t shorter = std::min(a.bytes.size(), b.bytes.size());
            explained_->Mark(device + shorter, std::max(a.bytes.size(), b.bytes.size()) - shorter);
        }
    }

    // Pointer fields move whenever a string before them changes length; they are counted, not listed.
    void Field(const std::string& where, const Image_Field& a, const Image_Field& b, std::uint32_t end) {
        if (a.value == b.value) return;
        explained_->Mark(b.address, end > b.address ? end - b.address : 0);
        if (a.pointer) {
            ++moved_;
            return;
        }
        Changed(Hex5(b.address) + " " + where + b.name + ": " + a.value + " -> " + b.value);
    }

    // Every run of differing bytes that no line above speaks for, with its device addresses;
    // when bytes differ and nothing was said at all, every run is listed.
    void Byte_Runs(const Bank_Bytes& a, const Bank_Bytes& b) {
        const std::size_t common = std::min(a.bytes.size(), b.bytes.size());
        const bool silent = result_.Count() == lines_before_;
        for (std::size_t i = 0; i < common;) {
            if (a.bytes[i] == b.bytes[i] || (!silent && (*explained_)[i])) {
                ++i;
                continue;
            }
            std::size_t j = i + 1;
            while (j < common && a.bytes[j] != b.bytes[j] && (silent || !(*explained_)[j])) ++j;
            Run(i, j - i);
            i = j;
        }
    }

    void Run(std::size_t offset, std::size_t length) {
        const auto first = static_cast<std::uint32_t>(device_ + offset);
        const auto last = static_cast<std::uint32_t>(device_ + offset + length - 1);
        std::string text = Hex5(first) + ".." + Hex5(last) + ": " + std::to_string(length) +
                           Lang(length == 1 ? rt::Byte_Differs : rt::Bytes_Differ);
        if (device_ == Bank2_Device_Address) {
            const std::size_t record = offset / S7_Record_Size;
            const std::size_t last_record = (offset + length - 1) / S7_Record_Size;
            text += " (" + Lang(rt::Record) + std::to_string(record);
            if (last_record != record) text += ".." + std::to_string(last_record);
            text += ")";
        }
        Changed(std::move(text));
    }

    void Known_Certs(const Bank3_Image& a, const Bank3_Image& b, const Pool_Index& pool_a, const Pool_Index& pool_b) {
        std::vector<std::string> keys_a;
        std::vector<std::string> keys_b;
        for (std::size_t i = 0; i < a.known_certs.size(); ++i) keys_a.push_back(pool_a.Text("known certificate " + std::to_string(i)));
        for (std::size_t i = 0; i < b.known_certs.size(); ++i) keys_b.push_back(pool_b.Text("known certificate " + std::to_string(i)));
        const std::string name = Lang(rt::Known_Certificate);
        for (const Aligned& step : Align_Rows(keys_a, keys_b)) {
            const auto ia = static_cast<std::size_t>(step.a);
            const auto ib = static_cast<std::size_t>(step.b);
            const bool moved = (step.op == Align_Op::Same || step.op == Align_Op::Changed) &&
                               (ia != ib || a.known_certs[ia].Certificate_Add != b.known_certs[ib].Certificate_Add);
            if (step.op != Align_Op::Same || moved) {
                if (step.a >= 0) explained_->Mark(Known_Cert_Entry_Address(ia), Cert_Entry_Bytes);
                if (step.b >= 0) explained_->Mark(Known_Cert_Entry_Address(ib), Cert_Entry_Bytes);
            }
            if (moved && a.known_certs[ia].Certificate_Add != b.known_certs[ib].Certificate_Add) ++moved_;
            switch (step.op) {
            case Align_Op::Same: break;
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
                Changed(Hex5(Known_Cert_Entry_Address(ib)) + " " + name + std::to_string(ib) + ": " +
                        Summary_Text(keys_a[ia]) + " -> " + Summary_Text(keys_b[ib]));
                break;
            }
        }
    }

    void Variables(const Bank3_Image& a, const Bank3_Image& b, const Pool_Index& pool_a, const Pool_Index& pool_b) {
        const auto var_name = [](const Pool_Index& pool, std::size_t i) {
            return pool.Text("variable " + std::to_string(i) + " name");
        };
        auto keys = [&var_name](const Bank3_Image& image, const Pool_Index& pool) {
            std::vector<std::string> out;
            for (std::size_t i = 0; i < image.variables.size(); ++i) {
                std::string key = var_name(pool, i);
                for (const auto& field : Var_Entry_Fields(image.variables[i], i, image.known_certs.size())) {
                    if (!field.pointer) key += '\x1F' + field.value;
                }
                out.push_back(std::move(key));
            }
            return out;
        };
        const std::string name = Lang(rt::Variable);
        const auto entry_at = [](const Bank3_Image& image, std::size_t i) {
            return Var_Entry_Address(i, image.known_certs.size());
        };
        for (const Aligned& step : Align_Rows(keys(a, pool_a), keys(b, pool_b))) {
            const auto ia = static_cast<std::size_t>(step.a);
            const auto ib = static_cast<std::size_t>(step.b);
            if (step.op == Align_Op::Same) {
                const bool moved = entry_at(a, ia) != entry_at(b, ib) || a.variables[ia].Name_Add != b.variables[ib].Name_Add;
                if (moved) {
                    explained_->Mark(entry_at(a, ia), Var_Entry_Bytes);
                    explained_->Mark(entry_at(b, ib), Var_Entry_Bytes);
                }
                if (a.variables[ia].Name_Add != b.variables[ib].Name_Add) ++moved_;
                continue;
            }
            if (step.a >= 0) explained_->Mark(entry_at(a, ia), Var_Entry_Bytes);
            if (step.b >= 0) explained_->Mark(entry_at(b, ib), Var_Entry_Bytes);
            if (step.op == Align_Op::Added || step.op == Align_Op::Removed) {
                const bool added = step.op == Align_Op::Added;
                const Bank3_Image& image = added ? b : a;
                const Pool_Index& pool = added ? pool_b : pool_a;
                const std::size_t i = added ? ib : ia;
                const auto fields = Var_Entry_Fields(image.variables[i], i, image.known_certs.size());
                result_.Add(group_, added ? Change_Kind::Added : Change_Kind::Removed,
                            Hex5(fields[0].address) + " " + name + std::to_string(i) + ": " +
                                Lang(added ? rt::Added : rt::Removed) + ": " + Quote(var_name(pool, i)) + ", " +
                                fields[1].value + ", Position " + fields[2].value);
                continue;
            }
            const auto fields_a = Var_Entry_Fields(a.variables[ia], ia, a.known_certs.size());
            const auto fields_b = Var_Entry_Fields(b.variables[ib], ib, b.known_certs.size());
            std::string where = name + std::to_string(ib);
            if (ia != ib) where += " (" + Lang(rt::Was) + name + std::to_string(ia) + ")";
            const auto ends = Field_Ends(fields_b, entry_at(b, ib) + static_cast<std::uint32_t>(Var_Entry_Bytes));
            for (std::size_t k = 0; k < fields_a.size(); ++k) Field(where + " ", fields_a[k], fields_b[k], ends[k]);
            const std::string name_a = var_name(pool_a, ia);
            const std::string name_b = var_name(pool_b, ib);
            if (name_a != name_b) {
                const Pool_String* s = pool_b.Find("variable " + std::to_string(ib) + " name");
                Changed(Hex5(s ? s->address : 0) + " " + where + " name: " + Quote(name_a) + " -> " + Quote(name_b));
            }
        }
    }

    Diff_Result& result_;
    std::string group_;
    std::uint32_t device_ = 0;
    std::size_t moved_ = 0;
    std::size_t lines_before_ = 0;
    std::optional<Explained> explained_;
};

} // namespace

Diff_Result Diff_Images(const Image_Side& a, const Image_Side& b) {
    Diff_Result result;
    Bank_Differ differ(result);
    const bool both_folders = !a.single_bank && !b.single_bank;
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& bank_a = a.banks[i];
        const auto& bank_b = b.banks[i];
        if (bank_a && bank_b) {
            if (i == 0) differ.Bank1(*bank_a, *bank_b);
            if (i == 1) differ.Bank2(*bank_a, *bank_b);
            if (i == 2) differ.Bank3(*bank_a, *bank_b);
        } else if (both_folders && (bank_a || bank_b)) {
            differ.Only_One(bank_a ? *bank_a : *bank_b, !bank_a);
        }
    }
    return result;
}

} // namespace qm
