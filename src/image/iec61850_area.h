#pragma once
// Bank 3: the NTP text, the IEC61850 server and TLS values, the known client certificates and the
// IEC61850 variables, laid out with absolute device addresses so the converter uses it in place.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "image/image_result.h"

namespace qm {

inline constexpr std::size_t NTP_Text_Area_Size = 1024;
inline constexpr std::size_t IEC61850_Header_Size = 54;
inline constexpr std::size_t Known_Cert_Entry_Size = 8;
inline constexpr std::size_t Var_Entry_Size = 32;

// Variable data types and conversions as the device codes them.
inline constexpr std::uint32_t Var_Type_Digital = 2;
inline constexpr std::uint32_t Var_Type_Int = 4;
inline constexpr std::uint32_t Var_Type_Float = 6;
inline constexpr std::uint16_t Var_Operation_None = 0;
inline constexpr std::uint16_t Var_Operation_Int_To_Float = 1;
inline constexpr std::uint16_t Var_Operation_Float_To_Int = 2;
inline constexpr std::uint16_t Var_Option_Swap = 1;
inline constexpr std::uint16_t Var_Option_Swap_Word = 2;

struct TTLS_Certificate {
    std::string Certificate;                // UTF-8
    std::uint32_t Certificate_Add = 0;
    std::uint32_t Certificate_Length = 1;   // UTF-8 byte count + 1
};

struct TTLS_Bank {
    std::string key;
    std::uint32_t key_add = 0;
    std::uint32_t Key_Length = 1;           // UTF-8 byte count + 1
    std::string Key_Password;
    std::uint32_t Key_Password_Add = 0;
    TTLS_Certificate Server_Cert;
    TTLS_Certificate Root_Cert;
    std::uint32_t Known_Cert_En = 0;        // the whole number read; only exactly 1 counts as on
    std::uint32_t Known_Cert_Num = 0;
    std::uint32_t Known_Cert_Add = 0;
    std::vector<TTLS_Certificate> Known_Cert;
};

struct TIEC61850_Var {
    std::string Name;
    std::uint32_t Name_Add = 0;
    std::uint32_t Data_Type = 0;
    std::uint32_t Position = 0;
    std::uint32_t Start_Bit = 0;
    std::uint32_t Length = 0;
    std::uint32_t Read_Only = 0;
    float Multiplication_Factor = 0.0F;
    std::uint16_t Operation = 0;
    std::uint16_t Options = 0;
};

struct TIEC61850 {
    std::uint16_t port = 102;
    std::uint32_t TLS_Enable = 0;           // the whole number read; only exactly 1 counts as on
    TTLS_Bank TLS_Data;
    std::string Password;
    std::uint32_t Password_Add = 0;
    std::uint32_t Var_Number = 0;
    std::uint32_t Var_Add = 0;
    std::vector<TIEC61850_Var> Variables;
};

// The values a build starts from; the NTP text too, which belongs to bank 3.
void Reset_IEC61850(TIEC61850& iec, std::string& ntp_text);

// True when the known certificates reach the image: TLS on and restricted to known certificates.
bool Known_Certs_In_Image(const TIEC61850& iec);

// Readers of the two list files; a missing file leaves the lists empty. They fail only for a file
// that cannot be read or parsed, or a text bound for the image that is not UTF-8.
Build_Result Read_IEC61850_Variables(const std::string& path, TIEC61850& iec);
Build_Result Read_TLS_Known_Cert(const std::string& path, TIEC61850& iec);

// Writes the 1024-byte NTP text area at pos; returns pos + 1024.
std::size_t Write_NTP_Text_Area(const std::string& ntp_text, Image_Buffer& buffer, std::size_t pos);

// Bytes from the header to the end of the string pool, for the current values.
std::size_t IEC61850_Area_Size(const TIEC61850& iec);

// Computes every address from the header's device address base, then writes header, entries,
// marker and string pool at pos and sets end to the position after the last byte. Refuses,
// writing nothing, when the area would not fit the buffer.
Build_Result Assemble_IEC61850_Area(TIEC61850& iec, std::uint32_t base, Image_Buffer& buffer, std::size_t pos,
                                    std::size_t& end);

} // namespace qm
