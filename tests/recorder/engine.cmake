# The capture engine, frame preparation and the GIF writer.

# The writer's pixel pipeline: native and Windows.
kelvo_add_test(test_gif_pipeline
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gif_pipeline.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_gif_pipeline_reference.cpp
          ${CMAKE_CURRENT_LIST_DIR}/gif_pipeline_test_util.cpp
  LIBS kelvo_gif_pipeline kelvo_pixels
  TIMEOUT 120)

if(WIN32)
  set(engine_test_support
    ${CMAKE_CURRENT_LIST_DIR}/engine_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif_pipeline_test_util.cpp)
  kelvo_add_test(test_gif_writer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gif_writer.cpp ${engine_test_support}
    LIBS kelvo_engine
    TIMEOUT 120)
  kelvo_add_test(test_frame_preparation
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_frame_preparation.cpp ${engine_test_support}
    LIBS kelvo_engine
    TIMEOUT 120)
  kelvo_add_test(test_engine_thread
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_engine_thread.cpp ${engine_test_support}
    LIBS kelvo_engine
    TIMEOUT 180)
  kelvo_add_test(test_capture_frame
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_capture_frame.cpp ${engine_test_support}
    LIBS kelvo_engine
    TIMEOUT 120)
  kelvo_add_test(test_caption_list
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_caption_list.cpp
    LIBS kelvo_engine)
endif()
