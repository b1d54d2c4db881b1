# The windows around the capture area: the edge bars, the status strip and the notice popup.
if(WIN32)
  set(kelvo_bars_rc ${PROJECT_SOURCE_DIR}/res/kelvo.rc)

  # The rules, the status text and the painting, without windows.
  kelvo_add_test(test_bars
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_bars.cpp
            ${PROJECT_SOURCE_DIR}/recorder/bar_layout.cpp
            ${PROJECT_SOURCE_DIR}/recorder/bar_painting.cpp
            ${kelvo_bars_rc}
    LIBS kelvo_framework
    TIMEOUT 60)
endif()

if(WIN32)
  # The bars as windows around a real main window, on the display.
  kelvo_add_test(test_bars_windows
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_bars_windows.cpp
            ${PROJECT_SOURCE_DIR}/app/globals.cpp
            ${kelvo_bars_rc}
    LIBS kelvo_core
    TIMEOUT 120)
endif()
