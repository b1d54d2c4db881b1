# Octree colour quantizer: Win32-free, built in the native and the Windows build.
add_library(kelvo_quantizer STATIC
  ${CMAKE_CURRENT_LIST_DIR}/octree_quantizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/octree_quantizer.h)
target_include_directories(kelvo_quantizer PUBLIC ${PROJECT_SOURCE_DIR})
