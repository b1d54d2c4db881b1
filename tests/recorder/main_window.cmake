# The main window and its small helpers.
kelvo_add_test(test_main_window
  SOURCES test_temp_gif_name.cpp ${PROJECT_SOURCE_DIR}/app/globals.cpp ${PROJECT_SOURCE_DIR}/res/kelvo.rc
  LIBS kelvo_core)
