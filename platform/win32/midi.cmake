# The MIDI player's Windows half, and its test exe (run under Wine by
# tests/midi). Included by this folder's CMakeLists.txt.
add_library(cc_win32_midi STATIC
  ${CMAKE_CURRENT_LIST_DIR}/midi_stream_player.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winmm_api.cpp
)
target_compile_definitions(cc_win32_midi PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(cc_win32_midi PUBLIC cc_midi)

add_executable(midi_stream_player_test
  ${CMAKE_CURRENT_LIST_DIR}/../../tests/midi/win32/fake_winmm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../tests/midi/win32/midi_stream_player_test.cpp
)
target_link_libraries(midi_stream_player_test PRIVATE cc_win32_midi)
# Self-contained, so that it runs in a bare Wine prefix; at the top of the
# build folder, where tests/midi looks for it.
target_link_options(midi_stream_player_test PRIVATE -static)
set_target_properties(midi_stream_player_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
