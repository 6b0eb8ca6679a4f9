#include <QApplication>

#include <memory>
#include <string>

#include "common/file_io.h"
#include "image/image_builder.h"
#include "parameters/par_gen_window.h"
#include "shell/about_window.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"
#include "shell/options_window.h"
#include "shell/version_check.h"
#include "tables/iec61850_variables_window.h"
#include "tables/s7_protocol_window.h"
#include "tables/tls_known_cert_window.h"
#include "update/boot_window.h"

namespace {

// Compiles the open configuration and writes its three bank files; the reason when either fails.
std::string Build_And_Write_Banks() {
    // Kept between builds, as the device image is about 400 KB.
    static const auto image = std::make_unique<qm::Device_Image>();
    const qm::Project_Files& project = qm::State().Project;
    const qm::Build_Files files{project.ParGen_File, project.S7_Protocol_File, project.IEC61850_Variables_File,
                                project.TLS_Known_Cert_File};
    const qm::Build_Result built = qm::Build_Device_Image(*image, files);
    if (!built) {
        return "The device images could not be built.\n\n" + built.message;
    }
    const qm::Build_Result written = qm::Write_Bank_Files(*image, project.Project_Dir);
    if (!written) {
        return "The device images could not be written.\n\n" + written.message;
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    using namespace qm::gui;

    // The main window comes first: it loads the settings and the texts every other window uses.
    Main_Window main_window(qm::Program_Dir());

    // Created once for the whole run, in this order, each applying its texts as it is made.
    Child_Windows windows;
    windows.About = new About_Window(&main_window);
    windows.New_Project = new New_Project_Window(&main_window);
    windows.Open_Conf = new Open_Conf_Window(&main_window);
    auto* options = new Options_Window(&main_window);
    windows.Options = Child_Of(options);
    auto* par_gen = new Par_Gen_Window(&main_window);
    windows.Par_Gen = Child_Of(par_gen);
    auto* boot = new Boot_Window(&main_window);
    windows.Boot = Child_Of(boot);
    windows.Boot_Set_Form_Type = [boot](int form_type) { boot->Set_Form_Type(form_type); };
    windows.S7_Protocol = Child_Of(new S7_Protocol_Window(&main_window));
    windows.IEC61850_Variables = Child_Of(new IEC61850_Variables_Window(&main_window));
    windows.TLS_Known_Cert = Child_Of(new TLS_Known_Cert_Window(&main_window));
    main_window.Set_Windows(windows);

    options->Hooks().Change_Language = [&main_window] { main_window.Change_Language(); };
    main_window.Hooks().Check_Version = [options] { return options->Check_Version(); };
    main_window.Hooks().Open_Url = [](const QString& url) { Open_Url(url); };
    main_window.Hooks().Build_Device_Image = Build_And_Write_Banks;

    main_window.show();
    return QApplication::exec();
}
