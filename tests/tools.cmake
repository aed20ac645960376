# The companion tools, run as their own processes under the virtual X server:
# the replay's frame lines, snapshots and bad scripts, and the timed demo's
# figures.
add_executable(replay_test replay_test.cpp)
target_link_libraries(replay_test PRIVATE unit_main)
target_compile_definitions(replay_test PRIVATE REPLAY_TOOL="$<TARGET_FILE:portalwalk-replay>")
add_dependencies(replay_test portalwalk-replay textures)
add_test(NAME replay_test COMMAND ${XVFB_RUN} $<TARGET_FILE:replay_test>
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

add_test(NAME bench_test
         COMMAND ${XVFB_RUN} ${CMAKE_CURRENT_SOURCE_DIR}/bench_test.sh $<TARGET_FILE:portalwalk-bench>
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
