# One interface target carries the warning, sanitizer and Qt settings that every target links.
add_library(qm_build_settings INTERFACE)
target_compile_options(qm_build_settings INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
  $<$<BOOL:${QM_WERROR}>:-Werror>)
target_compile_definitions(qm_build_settings INTERFACE QT_NO_CAST_FROM_ASCII)
if(QM_SANITIZE)
  target_compile_options(qm_build_settings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(qm_build_settings INTERFACE -fsanitize=address,undefined)
endif()

# Copies the shipped language files beside the program.
function(qm_copy_beside_program target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/LANGUAGE
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/LANGUAGE ${CMAKE_BINARY_DIR}/bin/LANGUAGE
    VERBATIM)
endfunction()

# Adds a GoogleTest executable that links only what it names.
function(qm_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main qm_build_settings)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE QM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# Adds a Qt Test executable run on the offscreen platform.
function(qm_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets qm_build_settings)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE QM_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
