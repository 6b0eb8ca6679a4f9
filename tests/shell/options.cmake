# Tests of the options window, the version check and the About window.
qm_add_gtest(version_reply_test
  SOURCES version_reply_test.cpp
  LIBS qm_shell_version)

if(QM_BUILD_GUI)
  qm_add_qtest(version_check_test
    SOURCES version_check_test.cpp version_test_server.h
    LIBS qm_shell_options_gui Qt6::Network)
  qm_add_qtest(options_window_test
    SOURCES options_window_test.cpp version_test_server.h temp_dir.h window_test_util.h
    LIBS qm_shell_options_gui Qt6::Network)
  qm_add_qtest(about_window_test
    SOURCES about_window_test.cpp window_test_util.h
    LIBS qm_shell_options_gui)
  qm_add_qtest(options_look_test
    SOURCES options_look_test.cpp temp_dir.h window_test_util.h
    LIBS qm_shell_options_gui)
endif()
