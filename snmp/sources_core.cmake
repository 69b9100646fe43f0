# Portable sources of the trap reception subsystem: decoder, intake and source filter.
target_sources(dovrel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/trap_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_intake.cpp)
