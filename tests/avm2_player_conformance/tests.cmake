# Runs the ActionScript 3 corpus's player cases (avm2/) through the player
# with its ActionScript 3 engine, frame by frame with their input, and
# compares trace output; fails when a case on its pass list fails.
file(GLOB avm2_player_conformance_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/avm1_conformance/*.cpp)
add_executable(avm2_player_conformance ${avm2_player_conformance_srcs} ${CMAKE_SOURCE_DIR}/tests/support/PassList.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/CaseFonts.cpp ${CMAKE_SOURCE_DIR}/tests/movie_harness/TomlLite.cpp)
target_include_directories(avm2_player_conformance PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(avm2_player_conformance PRIVATE nimbrel_movie)
target_compile_definitions(avm2_player_conformance PRIVATE
    NIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    NIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}"
    NIMBREL_CORPUS_FOLDER="corpus-as3"
    NIMBREL_CASE_PREFIX="avm2/"
    NIMBREL_PASS_LIST="tests/avm2_player_conformance/pass_list.txt")
add_test(NAME avm2_player_conformance COMMAND avm2_player_conformance)
set_tests_properties(avm2_player_conformance PROPERTIES COST 300 SKIP_RETURN_CODE 77 TIMEOUT 1800)
