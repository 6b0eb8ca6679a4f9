# Tests of the bank decoder and of `quillmaker-cli inspect`.
qm_add_gtest(test_image_inspect
  SOURCES
    inspect_fixtures.cpp
    inspect_decode_test.cpp
    inspect_robust_test.cpp
  LIBS qm_image_inspect)

# The command itself, compiled in with the decoder it drives.
qm_add_gtest(test_image_inspect_cli
  SOURCES
    inspect_fixtures.cpp
    inspect_cli_test.cpp
    ${PROJECT_SOURCE_DIR}/src/cli/cmd_inspect.cpp
  LIBS qm_image_inspect)

# The shipped example and the images built from it.
qm_add_gtest(test_image_inspect_example
  SOURCES inspect_example_test.cpp
  LIBS qm_image_inspect)
