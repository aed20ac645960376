# End-to-end tests: scripts that run the real program from a fresh folder
# holding copies of the textures, and drive it with real key events and
# close requests on a virtual X server of their own.
set(E2E_DIR ${CMAKE_CURRENT_SOURCE_DIR}/e2e)

foreach(script IN ITEMS start_and_look walk_and_turn esc_ends close_request missing_texture)
  add_test(NAME e2e_${script}
           COMMAND ${XVFB_RUN} ${E2E_DIR}/${script}.sh $<TARGET_FILE:portalwalk> ${CMAKE_BINARY_DIR}
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endforeach()
# This one must not have a display at all.
add_test(NAME e2e_no_display
         COMMAND ${E2E_DIR}/no_display.sh $<TARGET_FILE:portalwalk> ${CMAKE_BINARY_DIR}
         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

get_property(e2e_tests DIRECTORY PROPERTY TESTS)
list(FILTER e2e_tests INCLUDE REGEX "^e2e_")
# Each waits at most a few seconds per step; the timeout only catches a hang.
set_tests_properties(${e2e_tests} PROPERTIES LABELS e2e TIMEOUT 60)
