# Reliability: spoilt texture files and bad scripts, long replays (the
# sanitizer build's workload), valgrind's memory check and a long soak.
set(RELIABILITY ${CMAKE_CURRENT_SOURCE_DIR}/reliability)

add_executable(reliability-route reliability/route.cpp)
target_link_libraries(reliability-route PRIVATE portalwalk_core)

if(NOT TARGET portalwalk-replay)
  add_test(NAME bad_textures
           COMMAND ${XVFB_RUN} ${RELIABILITY}/bad_textures.sh ${CMAKE_BINARY_DIR}
                   $<TARGET_FILE:portalwalk>)
  set_tests_properties(bad_textures PROPERTIES LABELS reliability TIMEOUT 300)
  return()
endif()

set(REPLAY $<TARGET_FILE:portalwalk-replay>)
set(ROUTE $<TARGET_FILE:reliability-route>)
add_test(NAME bad_textures
         COMMAND ${XVFB_RUN} ${RELIABILITY}/bad_textures.sh ${CMAKE_BINARY_DIR}
                 $<TARGET_FILE:portalwalk> ${REPLAY})
add_test(NAME bad_scripts
         COMMAND ${XVFB_RUN} ${RELIABILITY}/bad_scripts.sh ${CMAKE_BINARY_DIR} ${REPLAY})
set_tests_properties(bad_textures bad_scripts PROPERTIES LABELS reliability TIMEOUT 300)

# The sanitizer build's workload; cheap enough to run in the normal build too.
# The replays load the textures from the build folder.
add_test(NAME long_replay COMMAND ${XVFB_RUN} ${RELIABILITY}/long_replay.sh ${REPLAY} ${ROUTE}
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(long_replay PROPERTIES LABELS "reliability;sanitize" TIMEOUT 900)

# Valgrind cannot run a sanitized binary, and the soak gains nothing from it.
if(NOT PORTALWALK_SANITIZE)
  add_test(NAME valgrind
           COMMAND ${XVFB_RUN} ${RELIABILITY}/valgrind.sh ${CMAKE_BINARY_DIR}
                   $<TARGET_FILE:portalwalk> ${REPLAY} ${ROUTE})
  add_test(NAME soak COMMAND ${XVFB_RUN} ${RELIABILITY}/soak.py ${REPLAY} ${ROUTE} 100000
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(valgrind PROPERTIES LABELS "reliability;valgrind" TIMEOUT 900)
  set_tests_properties(soak PROPERTIES LABELS "reliability;soak" TIMEOUT 900)
endif()
