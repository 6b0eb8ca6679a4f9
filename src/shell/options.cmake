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
    PUBLIC qm_shell_version qm_shell_gui qm_shell qm_common_gui Qt6::Widgets)

  # The socket of the version query: the only user of Qt's network library, which (with the
  # security libraries it loads) the program loads only on the first query.
  find_package(Qt6 REQUIRED COMPONENTS Network)
  add_library(qm_version_query_module MODULE
    version_query_entry.h
    version_query_module.cpp
  )
  target_include_directories(qm_version_query_module PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(qm_version_query_module PRIVATE Qt6::Network qm_build_settings)
  set_target_properties(qm_version_query_module PROPERTIES
    OUTPUT_NAME qm_version_query
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(qm_shell_options_gui qm_version_query_module)
  target_compile_definitions(qm_shell_options_gui PRIVATE
    QM_VERSION_QUERY_MODULE="$<TARGET_FILE_NAME:qm_version_query_module>")
endif()
