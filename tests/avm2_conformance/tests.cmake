# Runs the ActionScript 3 corpus's virtual machine cases (from_avmplus)
# headless through the second virtual machine and compares trace output;
# fails when a case on the pass list no longer passes.
add_executable(avm2_conformance
    ${CMAKE_SOURCE_DIR}/tests/avm2_conformance/main.cpp
    ${CMAKE_SOURCE_DIR}/tests/avm2_conformance/AbcCaseRun.cpp
    ${CMAKE_SOURCE_DIR}/tests/avm1_conformance/CorpusCase.cpp
    ${CMAKE_SOURCE_DIR}/tests/avm1_conformance/TraceComparison.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/PassList.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/CaseFonts.cpp ${CMAKE_SOURCE_DIR}/tests/movie_harness/TomlLite.cpp)
target_include_directories(avm2_conformance PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests
    ${CMAKE_SOURCE_DIR}/tests/avm1_conformance)
target_link_libraries(avm2_conformance PRIVATE nimbrel_movie)
target_compile_definitions(avm2_conformance PRIVATE NIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_test(NAME avm2_conformance COMMAND avm2_conformance)
set_tests_properties(avm2_conformance PROPERTIES COST 300 SKIP_RETURN_CODE 77 TIMEOUT 600)
