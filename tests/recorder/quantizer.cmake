kelvo_add_test(test_octree_quantizer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_octree_quantizer.cpp
  LIBS kelvo_quantizer
  TIMEOUT 120)
