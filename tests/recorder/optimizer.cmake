# The GIF optimiser entry with the host's gifsicle, running helper programs, and the progress
# window (Windows build, run under Wine).
if(WIN32)
  kelvo_add_test(test_gif_optimizer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gif_optimizer.cpp
            ${CMAKE_CURRENT_LIST_DIR}/test_host_process.cpp
            ${CMAKE_CURRENT_LIST_DIR}/host_test_util.cpp
    LIBS kelvo_engine
    TIMEOUT 180)
  kelvo_add_test(test_progress_wnd
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_progress_wnd.cpp
    LIBS kelvo_engine
    TIMEOUT 120)
endif()
