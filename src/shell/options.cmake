# The options window, the version check and the About window.

# Reading the version service's reply; no Qt, no network.
add_library(qm_shell_version STATIC
  version_reply.h
  version_reply.cpp
)
target_link_libraries(qm_shell_version PUBLIC qm_common)

if(QM_BUILD_GUI)
  add_library(qm_shell_options_gui STATIC
    about_window.h
    about_window.cpp
    options_window.h
    options_window.cpp
    version_check.h
    version_check.cpp
  )
  target_link_libraries(qm_shell_options_gui
    PUBLIC qm_shell_version qm_shell_gui qm_shell qm_common_gui Qt6::Widgets Qt6::Network)
endif()
