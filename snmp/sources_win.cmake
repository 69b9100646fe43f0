# target_sources(dovrel_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/trap_socket.cpp ...)
