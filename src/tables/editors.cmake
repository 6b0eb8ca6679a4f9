# Table editing shared by the table windows (Qt-free) and the three table windows.
add_library(qm_tables_grid STATIC
  grid_edit.h
  grid_edit.cpp
  grid_history.h
  grid_history.cpp
  grid_duplicate.h
  grid_duplicate.cpp
)
target_link_libraries(qm_tables_grid PUBLIC qm_language qm_common)

if(QM_BUILD_GUI)
  add_library(qm_tables_gui STATIC
    table_model.h
    table_model.cpp
    cell_delegate.h
    cell_delegate.cpp
    grid_view.h
    grid_view.cpp
    grid_window.h
    grid_window.cpp
    grid_window_undo.cpp
    grid_window_find.cpp
    grid_window_exchange.cpp
    duplicate_dialog.h
    duplicate_dialog.cpp
    s7_protocol_window.h
    s7_protocol_window.cpp
    iec61850_variables_window.h
    iec61850_variables_window.cpp
    tls_known_cert_window.h
    tls_known_cert_window.cpp
  )
  target_link_libraries(qm_tables_gui PUBLIC qm_tables qm_tables_grid qm_common_gui qm_map qm_tags_gui Qt6::Widgets)
endif()
