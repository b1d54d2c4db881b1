# The GIF frame reader used for import: the Win32-free block walk and composition (native and
# Windows) and the reader with the OLE picture loader (Windows, run under Wine).

# Reference frames of GIFs made by ImageMagick and gifsicle, composed from Pillow's decoding.
set(reader_reference_dir ${CMAKE_CURRENT_BINARY_DIR}/reader_reference)
add_custom_command(
  OUTPUT ${reader_reference_dir}/manifest.txt
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/test_gif_frame_reader_reference.py ${reader_reference_dir}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/test_gif_frame_reader_reference.py
  COMMENT "Making the reference GIFs of the frame reader's tests")
add_custom_target(gif_frame_reader_reference ALL DEPENDS ${reader_reference_dir}/manifest.txt)
if(WIN32)
  # Wine shows the host's root as drive Z:.
  set(reader_reference_path "Z:${reader_reference_dir}")
else()
  set(reader_reference_path "${reader_reference_dir}")
endif()

kelvo_add_test(test_gif_frame_reader_core
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gif_frame_reader_core.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_gif_frame_reader_util.cpp
  LIBS kelvo_gif_compose gif_test_support
  TIMEOUT 180)
target_compile_definitions(test_gif_frame_reader_core PRIVATE READER_REFERENCE_DIR="${reader_reference_path}")
add_dependencies(test_gif_frame_reader_core gif_frame_reader_reference)

if(WIN32)
  # An animated GIF as a resource of the test program.
  set(reader_test_rc ${CMAKE_CURRENT_BINARY_DIR}/test_gif_frame_reader.rc)
  file(WRITE ${reader_test_rc} "GIFTEST GIF \"${PROJECT_SOURCE_DIR}/fuzz/corpus/reader/disposal_mix.gif\"\n")
  kelvo_add_test(test_gif_frame_reader
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gif_frame_reader.cpp
            ${reader_test_rc}
            ${CMAKE_CURRENT_LIST_DIR}/test_gif_frame_reader_util.cpp
            ${CMAKE_CURRENT_LIST_DIR}/engine_test_support.cpp
            ${CMAKE_CURRENT_LIST_DIR}/gif_pipeline_test_util.cpp
    LIBS kelvo_engine gif_test_support
    TIMEOUT 180)
  target_compile_definitions(test_gif_frame_reader PRIVATE READER_REFERENCE_DIR="${reader_reference_path}")
  add_dependencies(test_gif_frame_reader gif_frame_reader_reference)
endif()
