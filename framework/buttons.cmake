# Tooltip control and rectangle tracker of the class library, for the image buttons and the
# confined tracker.
list(APPEND KELVO_FRAMEWORK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/tooltip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rect_tracker.cpp
)
