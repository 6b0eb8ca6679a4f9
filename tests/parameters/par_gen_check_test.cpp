#include "parameters/par_gen_check.h"

#include "language/lang_table.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qm::par_gen {
namespace {

using P = Par_Id;

class Par_Gen_Check : public ::testing::Test {
protected:
    void SetUp() override { Load_Default_Strings(); }
    void TearDown() override { Load_Default_Strings(); }
};

std::vector<int> Entries(const std::vector<Check_Fault>& faults) {
    std::vector<int> entries;
    for (const Check_Fault& f : faults) {
        entries.push_back(f.entry);
    }
    return entries;
}

struct Fault_Case {
    const char* name;
    Par_Id field;
    const char* text;
    Par_Id flag; // ticked for the case; Par_Id::Count for none
    const char* message;
};

void PrintTo(const Fault_Case& c, std::ostream* os) {
    *os << c.name;
}

class One_Field_Fault : public ::testing::TestWithParam<Fault_Case> {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

// Each step of the check, failed alone, shows its own message word for word.
TEST_P(One_Field_Fault, ShowsItsMessage) {
    const Fault_Case& c = GetParam();
    Par_Gen_Set set = Par_Gen_Defaults();
    set[c.field] = c.text;
    if (c.flag != P::Count) {
        set.Set_Flag(c.flag, true);
    }
    const std::optional<Check_Fault> fault = Controllo_Dati(set);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(Fault_Text(*fault), c.message);
    EXPECT_EQ(fault->field, Par_Def_Of(c.field).field);
    EXPECT_EQ(fault->row, 0);
    const std::vector<Check_Fault> all = All_Faults(set);
    ASSERT_EQ(all.size(), 1U);
    EXPECT_EQ(all[0].entry, fault->entry);
}

constexpr P None = P::Count;

INSTANTIATE_TEST_SUITE_P(
    Steps, One_Field_Fault,
    ::testing::Values(
        Fault_Case{"S7IP1", P::S7_Protocol_IP1, "256", None, "Error S7comm!! IP Address 1 must be between 0 and 255"},
        Fault_Case{"S7IP2", P::S7_Protocol_IP2, "-1", None, "Error S7comm!! IP Address 2 must be between 0 and 255"},
        Fault_Case{"S7IP3", P::S7_Protocol_IP3, "", None, "Error S7comm!! IP Address 3 must be between 0 and 255"},
        Fault_Case{"S7IP4", P::S7_Protocol_IP4, "1.5", None, "Error S7comm!! IP Address 4 must be between 0 and 255"},
        Fault_Case{"S7SM1", P::S7_Protocol_SM1, "abc", None, "Error S7comm!! SubNet Mask 1 must be between 0 and 255"},
        Fault_Case{"S7SM2", P::S7_Protocol_SM2, "255 ", None, "Error S7comm!! SubNet Mask 2 must be between 0 and 255"},
        Fault_Case{"S7SM3", P::S7_Protocol_SM3, "1000", None, "Error S7comm!! SubNet Mask 3 must be between 0 and 255"},
        Fault_Case{"S7SM4", P::S7_Protocol_SM4, "$100", None, "Error S7comm!! SubNet Mask 4 must be between 0 and 255"},
        Fault_Case{"S7GAT1", P::S7_Protocol_GAT1, "x", P::S7_Protocol_EN_GAT,
                   "Error S7comm!! GATEWAY IP 1 must be between 0 and 255"},
        Fault_Case{"S7GAT2", P::S7_Protocol_GAT2, "256", P::S7_Protocol_EN_GAT,
                   "Error S7comm!! GATEWAY IP 2 must be between 0 and 255"},
        Fault_Case{"S7GAT3", P::S7_Protocol_GAT3, "256", P::S7_Protocol_EN_GAT,
                   "Error S7comm!! GATEWAY IP 3 must be between 0 and 255"},
        Fault_Case{"S7GAT4", P::S7_Protocol_GAT4, "256", P::S7_Protocol_EN_GAT,
                   "Error S7comm!! GATEWAY IP 4 must be between 0 and 255"},
        Fault_Case{"IecIP1", P::IEC61850_Server_IP1, "256", None,
                   "Error IEC61850 Server!! IP Address 1 must be between 0 and 255"},
        Fault_Case{"IecIP2", P::IEC61850_Server_IP2, "256", None,
                   "Error IEC61850 Server!! IP Address 2 must be between 0 and 255"},
        Fault_Case{"IecIP3", P::IEC61850_Server_IP3, "256", None,
                   "Error IEC61850 Server!! IP Address 3 must be between 0 and 255"},
        Fault_Case{"IecIP4", P::IEC61850_Server_IP4, "256", None,
                   "Error IEC61850 Server!! IP Address 4 must be between 0 and 255"},
        Fault_Case{"IecSM1", P::IEC61850_Server_SM1, "256", None,
                   "Error IEC61850 Server!! SubNet Mask 1 must be between 0 and 255"},
        Fault_Case{"IecSM2", P::IEC61850_Server_SM2, "256", None,
                   "Error IEC61850 Server!! SubNet Mask 2 must be between 0 and 255"},
        Fault_Case{"IecSM3", P::IEC61850_Server_SM3, "256", None,
                   "Error IEC61850 Server!! SubNet Mask 3 must be between 0 and 255"},
        Fault_Case{"IecSM4", P::IEC61850_Server_SM4, "256", None,
                   "Error IEC61850 Server!! SubNet Mask 4 must be between 0 and 255"},
        Fault_Case{"IecGAT1", P::IEC61850_Server_GAT1, "256", P::IEC61850_Server_EN_GAT,
                   "Error IEC61850 Server!! GATEWAY IP 1 must be between 0 and 255"},
        Fault_Case{"IecGAT2", P::IEC61850_Server_GAT2, "256", P::IEC61850_Server_EN_GAT,
                   "Error IEC61850 Server!! GATEWAY IP 2 must be between 0 and 255"},
        Fault_Case{"IecGAT3", P::IEC61850_Server_GAT3, "256", P::IEC61850_Server_EN_GAT,
                   "Error IEC61850 Server!! GATEWAY IP 3 must be between 0 and 255"},
        Fault_Case{"IecGAT4", P::IEC61850_Server_GAT4, "256", P::IEC61850_Server_EN_GAT,
                   "Error IEC61850 Server!! GATEWAY IP 4 must be between 0 and 255"},
        Fault_Case{"IecDNS1", P::IEC61850_Server_DNS1, "256", P::IEC61850_Server_EN_DNS,
                   "Error IEC61850 Server!! DNS IP 1 must be between 0 and 255"},
        Fault_Case{"IecDNS2", P::IEC61850_Server_DNS2, "256", P::IEC61850_Server_EN_DNS,
                   "Error IEC61850 Server!! DNS IP 2 must be between 0 and 255"},
        Fault_Case{"IecDNS3", P::IEC61850_Server_DNS3, "256", P::IEC61850_Server_EN_DNS,
                   "Error IEC61850 Server!! DNS IP 3 must be between 0 and 255"},
        Fault_Case{"IecDNS4", P::IEC61850_Server_DNS4, "256", P::IEC61850_Server_EN_DNS,
                   "Error IEC61850 Server!! DNS IP 4 must be between 0 and 255"},
        Fault_Case{"Port", P::IEC61850_Server_Port, "10000", None,
                   "Error IEC61850 Server!! Port must be between 0 and 65535, and different from 10000"},
        Fault_Case{"PollTime", P::NTP_Poll_Time, "10000001", None,
                   "Error NTP!! Poll Time must be between 0 and 10000000 seconds"}),
    [](const ::testing::TestParamInfo<Fault_Case>& p) { return std::string(p.param.name); });

struct Bound_Case {
    const char* name;
    Par_Id field;
    const char* text;
    bool passes;
};

void PrintTo(const Bound_Case& c, std::ostream* os) {
    *os << c.name;
}

class Bounds : public ::testing::TestWithParam<Bound_Case> {};

TEST_P(Bounds, AreInclusive) {
    const Bound_Case& c = GetParam();
    Par_Gen_Set set = Par_Gen_Defaults();
    set[c.field] = c.text;
    EXPECT_EQ(!Controllo_Dati(set).has_value(), c.passes) << "[" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Bounds,
    ::testing::Values(Bound_Case{"Octet0", P::S7_Protocol_IP1, "0", true},
                      Bound_Case{"Octet255", P::S7_Protocol_IP1, "255", true},
                      Bound_Case{"Octet256", P::S7_Protocol_IP1, "256", false},
                      Bound_Case{"OctetLeadingZero", P::S7_Protocol_IP1, "010", true},
                      Bound_Case{"OctetHex", P::S7_Protocol_IP1, "0xFF", true},
                      Bound_Case{"OctetLeadingBlank", P::S7_Protocol_IP1, " 5", true},
                      Bound_Case{"OctetTrailingBlank", P::S7_Protocol_IP1, "5 ", false},
                      Bound_Case{"OctetTooLongForInt", P::S7_Protocol_IP1, "4294967296", false},
                      Bound_Case{"Port0", P::IEC61850_Server_Port, "0", true},
                      Bound_Case{"Port9999", P::IEC61850_Server_Port, "9999", true},
                      Bound_Case{"Port10000", P::IEC61850_Server_Port, "10000", false},
                      Bound_Case{"Port10000Hex", P::IEC61850_Server_Port, "$2710", false},
                      Bound_Case{"Port10001", P::IEC61850_Server_Port, "10001", true},
                      Bound_Case{"Port65535", P::IEC61850_Server_Port, "65535", true},
                      Bound_Case{"Port65536", P::IEC61850_Server_Port, "65536", false},
                      Bound_Case{"PortMinus1", P::IEC61850_Server_Port, "-1", false},
                      Bound_Case{"PortWithDot", P::IEC61850_Server_Port, "1.02", false},
                      Bound_Case{"Poll0", P::NTP_Poll_Time, "0", true},
                      Bound_Case{"PollMax", P::NTP_Poll_Time, "10000000", true},
                      Bound_Case{"PollPastMax", P::NTP_Poll_Time, "10000001", false},
                      Bound_Case{"PollEmpty", P::NTP_Poll_Time, "", false},
                      // Nothing else is checked.
                      Bound_Case{"EmptyNtpServer", P::NTP_Server_URL, "", true},
                      Bound_Case{"AnyPassword", P::IEC61850_Server_Password, "<&> \xE2\x82\xAC", true},
                      Bound_Case{"EmptyKey", P::TLS_Server_Key, "", true}),
    [](const ::testing::TestParamInfo<Bound_Case>& p) { return std::string(p.param.name); });

TEST_F(Par_Gen_Check, DefaultsPass) {
    EXPECT_FALSE(Controllo_Dati(Par_Gen_Defaults()).has_value());
    EXPECT_TRUE(All_Faults(Par_Gen_Defaults()).empty());

    Par_Gen_Set all_on = Par_Gen_Defaults();
    for (const Par_Id flag : {P::S7_Protocol_EN_GAT, P::IEC61850_Server_EN_GAT, P::IEC61850_Server_EN_DNS,
                              P::TLS_Server_Enable, P::TLS_Server_Enable_Known_Cert}) {
        all_on.Set_Flag(flag, true);
    }
    EXPECT_FALSE(Controllo_Dati(all_on).has_value());
}

TEST_F(Par_Gen_Check, StopsAtTheFirstFailureInOrder) {
    Par_Gen_Set set = Par_Gen_Defaults();
    set[P::S7_Protocol_IP3] = "";
    EXPECT_EQ(Controllo_Dati(set)->entry, 453);
    set[P::S7_Protocol_IP2] = "300";
    EXPECT_EQ(Controllo_Dati(set)->entry, 452);
    EXPECT_EQ(Entries(All_Faults(set)), (std::vector<int>{452, 453}));
}

TEST_F(Par_Gen_Check, DnsIsCheckedAfterTheGatewayAndBeforeThePort) {
    Par_Gen_Set set = Par_Gen_Defaults();
    set[P::IEC61850_Server_Port] = "10000";
    set[P::IEC61850_Server_DNS4] = "x";
    set[P::IEC61850_Server_GAT2] = "x";
    set[P::NTP_Poll_Time] = "-5";
    EXPECT_EQ(Entries(All_Faults(set)), (std::vector<int>{905, 725}));

    set.Set_Flag(P::IEC61850_Server_EN_DNS, true);
    set.Set_Flag(P::IEC61850_Server_EN_GAT, true);
    EXPECT_EQ(Controllo_Dati(set)->entry, 902);
    EXPECT_EQ(Entries(All_Faults(set)), (std::vector<int>{902, 928, 905, 725}));
    EXPECT_EQ(All_Faults(set)[1].field, "E_IEC61850_Server_DNS4");
}

TEST_F(Par_Gen_Check, GatewayOctetsCountOnlyWhileTheirBoxIsTicked) {
    Par_Gen_Set set = Par_Gen_Defaults();
    set[P::S7_Protocol_GAT1] = "letters";
    EXPECT_FALSE(Controllo_Dati(set).has_value());
    set.Set_Flag(P::S7_Protocol_EN_GAT, true);
    EXPECT_EQ(Controllo_Dati(set)->entry, 459);
}

TEST_F(Par_Gen_Check, FaultTextFollowsTheCurrentLanguage) {
    Par_Gen_Set set = Par_Gen_Defaults();
    set[P::NTP_Poll_Time] = "";
    Lang_Table[725] = "Errore NTP!! \xC3\xA8 ";
    Check_Fault fault = *Controllo_Dati(set);
    EXPECT_EQ(Fault_Text(fault), "Errore NTP!! \xC3\xA8 ");
    fault.suffix = "42";
    EXPECT_EQ(Fault_Text(fault), "Errore NTP!! \xC3\xA8 42");
}

} // namespace
} // namespace qm::par_gen
