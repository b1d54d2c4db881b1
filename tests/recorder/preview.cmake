# The preview window: its window behaviour, sharing and the micro-blog copy. The tests start
# stubs of the two sibling programs, built beside the test executables.
if(WIN32)
  # The program's resource script carries the preview's resources once it includes preview.rc.
  # Until then both are compiled as one script: icons compiled apart would number their images
  # alike, and the linker would keep only one of each number.
  file(READ ${PROJECT_SOURCE_DIR}/res/kelvo.rc kelvo_preview_rc_text)
  set(kelvo_preview_rc ${PROJECT_SOURCE_DIR}/res/kelvo.rc)
  string(FIND "${kelvo_preview_rc_text}" "preview.rc" kelvo_preview_included)
  if(kelvo_preview_included EQUAL -1)
    set(kelvo_preview_rc ${CMAKE_CURRENT_BINARY_DIR}/preview_test_resources.rc)
    file(WRITE ${kelvo_preview_rc}.in
         "#include \"res/kelvo.rc\"\n#include \"res/preview.rc\"\n")
    configure_file(${kelvo_preview_rc}.in ${kelvo_preview_rc} COPYONLY)
    set_source_files_properties(${kelvo_preview_rc} PROPERTIES
      OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/res/kelvo.rc;${PROJECT_SOURCE_DIR}/res/preview.rc")
  endif()

  foreach(stub poster uploader)
    add_executable(preview_${stub}_stub WIN32 ${CMAKE_CURRENT_LIST_DIR}/sibling_stub.cpp)
    target_link_libraries(preview_${stub}_stub PRIVATE shell32)
    target_link_options(preview_${stub}_stub PRIVATE -municode)
  endforeach()
  set_target_properties(preview_poster_stub PROPERTIES OUTPUT_NAME Vantoweb)
  set_target_properties(preview_uploader_stub PROPERTIES OUTPUT_NAME Vantoup)

  kelvo_add_test(test_preview
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_preview.cpp
            ${CMAKE_CURRENT_LIST_DIR}/test_preview_sharing.cpp
            ${CMAKE_CURRENT_LIST_DIR}/test_preview_compress.cpp
            ${CMAKE_CURRENT_LIST_DIR}/preview_test_util.cpp
            ${PROJECT_SOURCE_DIR}/app/globals.cpp
            ${kelvo_preview_rc}
    LIBS kelvo_core gif_test_support
    TIMEOUT 240)
  add_dependencies(test_preview preview_poster_stub preview_uploader_stub)
endif()
