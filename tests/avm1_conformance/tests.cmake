# Runs every trace-only corpus case through the player and its ActionScript
# engine and compares the trace output; fails when a case on its pass list fails.
file(GLOB avm1_conformance_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/avm1_conformance/*.cpp)
add_executable(avm1_conformance ${avm1_conformance_srcs} ${CMAKE_SOURCE_DIR}/tests/support/PassList.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/CaseFonts.cpp ${CMAKE_SOURCE_DIR}/tests/movie_harness/TomlLite.cpp)
target_include_directories(avm1_conformance PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(avm1_conformance PRIVATE nimbrel_movie)
target_compile_definitions(avm1_conformance PRIVATE
    NIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    NIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}")
add_test(NAME avm1_conformance COMMAND avm1_conformance)
set_tests_properties(avm1_conformance PROPERTIES COST 300 SKIP_RETURN_CODE 77 TIMEOUT 1800)
