#include "shell/maker_site.h"

#include "common/app_state.h"

#ifndef QM_MAKER_HOST
#define QM_MAKER_HOST "updates.quillmaker.example"
#endif

namespace qm {

std::string Maker_Host() {
    return QM_MAKER_HOST;
}

std::string Download_Url() {
    return "http://" + Maker_Host() + "/Home/download/download.asp#GW39174";
}

std::string Home_Url() {
    return "http://" + Maker_Host() + "/HOME/default.asp?frompg=" + SW_Code;
}

} // namespace qm
