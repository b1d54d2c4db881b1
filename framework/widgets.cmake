# GDI wrappers, menus, standard controls and the file dialog of the class library.
list(APPEND KELVO_FRAMEWORK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/gdi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_objects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/combo_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_dialog.cpp
)
