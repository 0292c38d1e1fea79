# Movie engine checks beyond the unit tests: corpus conformance and a
# sanitizer-built mutation run over the reader and the renderer.
set(_harness ${CMAKE_SOURCE_DIR}/tests/movie_harness)

add_executable(movie_conformance
    ${_harness}/conformance_main.cpp ${_harness}/ConformanceCase.cpp ${_harness}/TomlLite.cpp)
target_link_libraries(movie_conformance PRIVATE nimbrel_movie Qt6::Gui)
add_test(NAME movie_conformance
    COMMAND movie_conformance ${CMAKE_SOURCE_DIR}/../shared/corpus ${CMAKE_SOURCE_DIR}/tests/movie/render_floor.txt)
set_tests_properties(movie_conformance PROPERTIES TIMEOUT 600 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
