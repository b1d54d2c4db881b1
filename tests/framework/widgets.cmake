# GDI wrappers, menus, standard controls and the file dialog; needs a display (Xvfb under Wine).
kelvo_add_test(test_framework_widgets
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_gdi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_test.rc
  LIBS kelvo_framework
  TIMEOUT 60)
