# Portable sources of the trap reception subsystem: decoder, intake and source filter;
# SNMPv3 under the User-based Security Model over the platform's crypto (core/crypto.h).
target_sources(dovrel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/trap_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trap_intake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_auth.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_cfb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_engine_times.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_key_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_local_engine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_message.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_outgoing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_privacy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_receiver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usm_users.cpp)
