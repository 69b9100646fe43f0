# target_sources(dovrel_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/trap_decoder.cpp ...)
