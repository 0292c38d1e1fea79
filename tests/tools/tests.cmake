# The command-line tools' option parsing, without running the tools.
add_executable(test_tools ${CMAKE_SOURCE_DIR}/tests/tools/RenderOptions_test.cpp
    ${CMAKE_SOURCE_DIR}/tools/nimbrel-render/RenderOptions.cpp ${CMAKE_SOURCE_DIR}/tests/support/main_core.cpp)
target_include_directories(test_tools PRIVATE ${CMAKE_SOURCE_DIR}/tools/nimbrel-render)
target_link_libraries(test_tools PRIVATE Qt6::Gui GTest::gtest)
gtest_discover_tests(test_tools DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
