#pragma once
// Every window of the program, created once after the main window and wired to it.
// The program and the end-to-end test build the same set this way.

#include <string>

namespace qm::gui {

class About_Window;
class Boot_Window;
class IEC61850_Variables_Window;
class Main_Window;
class New_Project_Window;
class Open_Conf_Window;
class Options_Window;
class Par_Gen_Window;
class S7_Protocol_Window;
class TLS_Known_Cert_Window;

// The windows made by Create_Program_Windows; all are children of the main window.
struct Program_Windows {
    About_Window* About = nullptr;
    New_Project_Window* New_Project = nullptr;
    Open_Conf_Window* Open_Conf = nullptr;
    Options_Window* Options = nullptr;
    Par_Gen_Window* Par_Gen = nullptr;
    Boot_Window* Boot = nullptr;
    S7_Protocol_Window* S7_Protocol = nullptr;
    IEC61850_Variables_Window* IEC61850_Variables = nullptr;
    TLS_Known_Cert_Window* TLS_Known_Cert = nullptr;
};

// Creates the other windows in start-up order (each applies its texts as it is made), hands them
// to the main window and connects the services it needs. The main window must exist first:
// its creation loads the settings and the texts the others use.
Program_Windows Create_Program_Windows(Main_Window& main_window);

// Compiles the open configuration and writes its three bank files; the reason when either fails.
std::string Build_And_Write_Banks();

} // namespace qm::gui
