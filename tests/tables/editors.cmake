# Table editing and the table windows.
qm_add_gtest(grid_edit_test
  SOURCES grid_edit_test.cpp grid_history_test.cpp
  LIBS qm_tables_grid)

if(QM_BUILD_GUI)
  qm_add_qtest(s7_protocol_window_test
    SOURCES s7_protocol_window_test.cpp grid_test_support.h
    LIBS qm_tables_gui)
  qm_add_qtest(iec61850_variables_window_test
    SOURCES iec61850_variables_window_test.cpp grid_test_support.h
    LIBS qm_tables_gui)
  # A screen wider than the window, so that the window has room to grow (the default is 800 wide).
  set_tests_properties(iec61850_variables_window_test PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/wide_screen.json;QM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  qm_add_qtest(grid_editing_window_test
    SOURCES grid_editing_window_test.cpp grid_test_support.h
    LIBS qm_tables_gui)
  # The windows on screens smaller than the S7comm window's designed width, run once per size.
  qm_add_qtest(small_screen_window_test
    SOURCES small_screen_window_test.cpp grid_test_support.h
    LIBS qm_tables_gui qm_parameters_gui)
  set_tests_properties(small_screen_window_test PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/screen_1280x800.json;QM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  add_test(NAME small_screen_window_test_1024x768 COMMAND small_screen_window_test)
  set_tests_properties(small_screen_window_test_1024x768 PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/screen_1024x768.json;QM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  qm_add_qtest(tls_known_cert_window_test
    SOURCES tls_known_cert_window_test.cpp grid_test_support.h
    LIBS qm_tables_gui)
endif()
