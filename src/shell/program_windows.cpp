#include "shell/program_windows.h"
#include "language/lang_table.h"

#include <memory>
#include <utility>

#include "image/image_builder.h"
#include "map/gui/data_map_window.h"
#include "parameters/par_gen_window.h"
#include "shell/about_window.h"
#include "common/app_state.h"
#include "shell/main_window.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"
#include "shell/version_check.h"
#include "shell/options_window.h"
#include "shell/version_check.h"
#include "tables/iec61850_variables_window.h"
#include "tables/s7_protocol_window.h"
#include "tables/tls_known_cert_window.h"
#include "update/boot_window.h"

namespace qm::gui {

std::string Build_And_Write_Banks() {
    // Kept between builds, as the device image is about 400 KB.
    static const auto image = std::make_unique<qm::Device_Image>();
    const qm::Project_Files& project = qm::State().Project;
    const qm::Build_Files files{project.ParGen_File, project.S7_Protocol_File, project.IEC61850_Variables_File,
                                project.TLS_Known_Cert_File};
    const qm::Build_Result built = qm::Build_Device_Image(*image, files);
    if (!built) {
        return Lang(91) + "\n\n" + built.message;
    }
    const qm::Build_Result written = qm::Write_Bank_Files(*image, project.Project_Dir);
    if (!written) {
        return Lang(92) + "\n\n" + written.message;
    }
    return {};
}

Program_Windows Create_Program_Windows(Main_Window& main_window) {
    Program_Windows made;
    Child_Windows windows;
    made.About = new About_Window(&main_window);
    windows.About = made.About;
    made.New_Project = new New_Project_Window(&main_window);
    windows.New_Project = made.New_Project;
    made.Open_Conf = new Open_Conf_Window(&main_window);
    windows.Open_Conf = made.Open_Conf;
    made.Options = new Options_Window(&main_window);
    windows.Options = Child_Of(made.Options);
    made.Par_Gen = new Par_Gen_Window(&main_window);
    windows.Par_Gen = Child_Of(made.Par_Gen);
    made.Boot = new Boot_Window(&main_window);
    windows.Boot = Child_Of(made.Boot);
    windows.Boot_Set_Form_Type = [boot = made.Boot](int form_type) { boot->Set_Form_Type(form_type); };
    made.S7_Protocol = new S7_Protocol_Window(&main_window);
    windows.S7_Protocol = Child_Of(made.S7_Protocol);
    made.IEC61850_Variables = new IEC61850_Variables_Window(&main_window);
    Add_Data_Map_Button(made.S7_Protocol);
    Add_Data_Map_Button(made.IEC61850_Variables);
    windows.IEC61850_Variables = Child_Of(made.IEC61850_Variables);
    made.TLS_Known_Cert = new TLS_Known_Cert_Window(&main_window);
    windows.TLS_Known_Cert = Child_Of(made.TLS_Known_Cert);
    main_window.Set_Windows(windows);

    made.Options->Hooks().Change_Language = [&main_window] { main_window.Change_Language(); };
    main_window.Hooks().Query_Version = [options = made.Options](std::function<void(bool)> done) {
        options->Version_Checker()->Query(std::move(done));
    };
    main_window.Hooks().Open_Url = [](const QString& url) { Open_Url(url); };
    main_window.Hooks().Build_Device_Image = Build_And_Write_Banks;
    return made;
}

} // namespace qm::gui
