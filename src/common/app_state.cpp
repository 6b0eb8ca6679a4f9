#include "common/app_state.h"

namespace qm {

App_State& State() {
    static App_State state;
    return state;
}

} // namespace qm
