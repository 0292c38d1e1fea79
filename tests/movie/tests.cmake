# Movie engine checks beyond the unit tests: corpus conformance and a
# sanitizer-built mutation run over the reader and the renderer.
set(_harness ${CMAKE_SOURCE_DIR}/tests/movie_harness)

add_executable(movie_conformance
    ${_harness}/conformance_main.cpp ${_harness}/ConformanceCase.cpp ${_harness}/TomlLite.cpp
    ${_harness}/ScriptPresence.cpp ${CMAKE_SOURCE_DIR}/tests/support/PassList.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/CaseFonts.cpp)
target_include_directories(movie_conformance PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(movie_conformance PRIVATE NIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The unit suite checks how cases are read: which images, thresholds and fonts.
if(TARGET test_movie)
    target_sources(test_movie PRIVATE ${_harness}/TomlLite.cpp ${_harness}/ConformanceCase.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/CaseFonts.cpp)
endif()
target_link_libraries(movie_conformance PRIVATE nimbrel_movie Qt6::Gui)
add_test(NAME movie_conformance
    COMMAND movie_conformance ${CMAKE_SOURCE_DIR}/../shared/corpus ${CMAKE_SOURCE_DIR}/tests/movie/image_pass_list.txt)
set_tests_properties(movie_conformance PROPERTIES TIMEOUT 600 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
# The same for the ActionScript 3 corpus, with its own list of passing cases.
add_test(NAME movie_conformance_as3
    COMMAND movie_conformance ${CMAKE_SOURCE_DIR}/../shared/corpus-as3 ${CMAKE_SOURCE_DIR}/tests/movie/image_pass_list_as3.txt)
set_tests_properties(movie_conformance_as3 PROPERTIES TIMEOUT 600 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The same engine sources once more, built with AddressSanitizer and UBSan,
# for the mutation run. A sanitizer build of the whole tree already has them.
file(GLOB_RECURSE _movie_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/movie/*.cpp)
set(_asan_flags -fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined,float-cast-overflow)
# Quicker to build and still fast enough to run: this copy exists to find faults.
set(_asan_build_flags -O1 -g1)
if(NIMBREL_SANITIZE OR NIMBREL_FUZZ)
    set(_asan_flags)
endif()
add_library(nimbrel_movie_asan STATIC ${_movie_srcs})
target_include_directories(nimbrel_movie_asan PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(nimbrel_movie_asan PUBLIC
    Qt6::Core Qt6::Gui Qt6::Network ZLIB::ZLIB LibLZMA::LibLZMA PkgConfig::LIBAV)
target_compile_options(nimbrel_movie_asan PRIVATE ${_asan_flags} ${_asan_build_flags})
target_link_options(nimbrel_movie_asan PUBLIC ${_asan_flags})
nimbrel_precompile(nimbrel_movie_asan ENGINE)
nimbrel_batch(nimbrel_movie_asan)

add_executable(movie_mutation_smoke
    ${_harness}/mutation_smoke.cpp ${_harness}/Mutator.cpp ${CMAKE_SOURCE_DIR}/tests/movie/support/SwfBuilder.cpp
    ${CMAKE_SOURCE_DIR}/tests/movie/support/AbcBuilder.cpp)
target_include_directories(movie_mutation_smoke PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(movie_mutation_smoke PRIVATE ${_asan_flags} ${_asan_build_flags})
target_link_libraries(movie_mutation_smoke PRIVATE nimbrel_movie_asan)
add_test(NAME movie_mutation_smoke
    COMMAND movie_mutation_smoke ${CMAKE_SOURCE_DIR}/../shared/corpus 12000
            ${CMAKE_BINARY_DIR}/mutation_crash.swf ${CMAKE_SOURCE_DIR}/tests/data/malformed --scripts)
set_tests_properties(movie_mutation_smoke PROPERTIES COST 1000 TIMEOUT 600
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1;UBSAN_OPTIONS=print_stacktrace=1")
# The same over ActionScript 3 movies, whose bytecode blocks are read and verified.
add_test(NAME movie_mutation_smoke_as3
    COMMAND movie_mutation_smoke ${CMAKE_SOURCE_DIR}/../shared/corpus-as3 12000
            ${CMAKE_BINARY_DIR}/mutation_crash_as3.swf)
set_tests_properties(movie_mutation_smoke_as3 PROPERTIES COST 200 TIMEOUT 600
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1;UBSAN_OPTIONS=print_stacktrace=1")

# Every corpus movie as it is, through the same sanitizer build: a few frames
# with scripts on and two small drawings each. Skipped without the corpus.
add_executable(movie_corpus_smoke ${_harness}/corpus_smoke.cpp)
target_compile_options(movie_corpus_smoke PRIVATE ${_asan_flags} ${_asan_build_flags})
target_link_libraries(movie_corpus_smoke PRIVATE nimbrel_movie_asan)
foreach(_corpus corpus corpus-as3)
    add_test(NAME movie_${_corpus}_asan
        COMMAND movie_corpus_smoke --frames 8 --size 64x48 ${CMAKE_SOURCE_DIR}/../shared/${_corpus})
    set_tests_properties(movie_${_corpus}_asan PROPERTIES COST 500 TIMEOUT 900 SKIP_RETURN_CODE 77
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1;UBSAN_OPTIONS=print_stacktrace=1")
endforeach()
