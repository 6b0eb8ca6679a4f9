#include "parameters/par_gen_check.h"

#include "common/conversions.h"
#include "language/lang_table.h"

#include <array>

namespace qm::par_gen {
namespace {

struct Step {
    Par_Id field;
    int entry;
    Par_Id condition; // the flag that enables the step; Par_Id::Count for always
    std::int32_t min;
    std::int32_t max;
    std::int32_t refused; // a value inside the range that is still refused; -1 for none
};

constexpr Par_Id Always = Par_Id::Count;

// Four octets checked first to fourth, their messages in the same order.
constexpr void Add_Octets(std::array<Step, 30>& steps, std::size_t& n, Par_Id first, int first_entry,
                          Par_Id condition) {
    for (int k = 0; k < 4; ++k) {
        steps[n++] = {static_cast<Par_Id>(static_cast<int>(first) + k), first_entry + k, condition, 0, 255, -1};
    }
}

constexpr std::array<Step, 30> Make_Steps() {
    std::array<Step, 30> steps{};
    std::size_t n = 0;
    Add_Octets(steps, n, Par_Id::S7_Protocol_IP1, 451, Always);
    Add_Octets(steps, n, Par_Id::S7_Protocol_SM1, 455, Always);
    Add_Octets(steps, n, Par_Id::S7_Protocol_GAT1, 459, Par_Id::S7_Protocol_EN_GAT);
    Add_Octets(steps, n, Par_Id::IEC61850_Server_IP1, 893, Always);
    Add_Octets(steps, n, Par_Id::IEC61850_Server_SM1, 897, Always);
    Add_Octets(steps, n, Par_Id::IEC61850_Server_GAT1, 901, Par_Id::IEC61850_Server_EN_GAT);
    Add_Octets(steps, n, Par_Id::IEC61850_Server_DNS1, 925, Par_Id::IEC61850_Server_EN_DNS);
    steps[n++] = {Par_Id::IEC61850_Server_Port, 905, Always, 0, 65535, 10000};
    steps[n++] = {Par_Id::NTP_Poll_Time, 725, Always, 0, 10000000, -1};
    return steps;
}

constexpr std::array<Step, 30> Steps = Make_Steps();

bool Fails(const Step& step, const Par_Gen_Set& set) {
    if (step.condition != Always && !set.Flag(step.condition)) {
        return false;
    }
    // Text that is no integer gives -1 and so fails every range.
    const std::int32_t value = Text_To_Int(set[step.field], -1);
    return value < step.min || value > step.max || value == step.refused;
}

Check_Fault Fault_Of(const Step& step) {
    Check_Fault fault;
    fault.entry = step.entry;
    fault.field = Par_Def_Of(step.field).field;
    return fault;
}

} // namespace

std::optional<Check_Fault> Controllo_Dati(const Par_Gen_Set& set) {
    for (const Step& step : Steps) {
        if (Fails(step, set)) {
            return Fault_Of(step);
        }
    }
    return std::nullopt;
}

std::vector<Check_Fault> All_Faults(const Par_Gen_Set& set) {
    std::vector<Check_Fault> faults;
    for (const Step& step : Steps) {
        if (Fails(step, set)) {
            faults.push_back(Fault_Of(step));
        }
    }
    return faults;
}

std::string Fault_Text(const Check_Fault& fault) {
    return Lang(fault.entry) + fault.suffix;
}

} // namespace qm::par_gen
