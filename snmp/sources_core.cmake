# Portable sources of the trap reception subsystem: decoders, INFORM answer,
# intake and source filter.
set(DOVREL_DECODER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ber_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/datagram_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inform_resend_filter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inform_response.cpp
  ${CMAKE_CURRENT_LIST_DIR}/notification_pdu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_classifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_decoder.cpp)
target_sources(dovrel_core PRIVATE ${DOVREL_DECODER_SOURCES} ${CMAKE_CURRENT_LIST_DIR}/trap_intake.cpp)
# The fuzz targets compile the decoders themselves, with their instrumentation.
set(DOVREL_DECODER_SOURCES ${DOVREL_DECODER_SOURCES} PARENT_SCOPE)
