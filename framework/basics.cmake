# Strings, geometry, collections, files and locks of the class library.
list(APPEND KELVO_FRAMEWORK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/cstring.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file.cpp
)
