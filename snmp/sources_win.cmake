# Win32: the trap socket and the receiver engine with its worker threads.
target_sources(dovrel_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/trap_socket.cpp ${CMAKE_CURRENT_LIST_DIR}/trap_receiver.cpp)
