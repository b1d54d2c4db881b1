# The main window and its small helpers.
kelvo_add_test(test_main_window
  SOURCES test_temp_gif_name.cpp test_recorder_dlg.cpp test_recorder_menu.cpp ${PROJECT_SOURCE_DIR}/app/globals.cpp ${PROJECT_SOURCE_DIR}/res/kelvo.rc
  LIBS kelvo_core)

kelvo_add_test(test_recording_end_to_end
  SOURCES test_recording_end_to_end.cpp ${PROJECT_SOURCE_DIR}/app/globals.cpp ${PROJECT_SOURCE_DIR}/res/kelvo.rc
  LIBS kelvo_core
  TIMEOUT 180)
