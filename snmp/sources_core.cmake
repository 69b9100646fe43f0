# Portable sources of the trap reception subsystem: decoders, INFORM answer,
# intake and source filter.
target_sources(dovrel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ber_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_classifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_intake.cpp)
