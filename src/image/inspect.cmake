# The independent decoder of the bank images behind `quillmaker-cli inspect`.
add_library(qm_image_inspect STATIC
  ${CMAKE_CURRENT_LIST_DIR}/image_inspect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_inspect_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_inspect_bank1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_inspect_bank2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_inspect_bank3.cpp
)
target_link_libraries(qm_image_inspect PUBLIC qm_common)
