#pragma once
// The check the parameters window runs before it saves, and the text of its messages.
// In a namespace of its own because every editor has a Fault_Text of the same shape.

#include "common/check_fault.h"
#include "parameters/par_gen.h"

#include <optional>
#include <string>
#include <vector>

namespace qm::par_gen {

// The first failing field in the window's order (30 steps), or nothing when the set may be saved.
std::optional<Check_Fault> Controllo_Dati(const Par_Gen_Set& set);

// Every failing field in the same order; the first is what Controllo_Dati returns.
std::vector<Check_Fault> All_Faults(const Par_Gen_Set& set);

// The message box text of a fault, in the current language.
std::string Fault_Text(const Check_Fault& fault);

} // namespace qm::par_gen
