# Tests of the strings, geometry, collections, locks and files of the class library.
kelvo_add_test(test_framework_basics
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_cstring.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_collections.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_file.cpp
  LIBS kelvo_framework)
