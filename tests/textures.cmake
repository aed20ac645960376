# The wall texture files: loaded back from the build folder, so the tool that
# draws them must have run first. Loading needs no display.
add_executable(textures_test textures_test.cpp)
target_link_libraries(textures_test PRIVATE portalwalk_core GTest::gtest)
add_dependencies(textures_test textures)
add_test(NAME textures_test COMMAND textures_test WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
