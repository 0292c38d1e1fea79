# Headers most sources include, parsed once per target instead of once per file.
set(NIMBREL_PCH_ENGINE <algorithm> <cmath> <cstdint> <cstring> <functional> <memory> <optional>
    <vector> <QByteArray> <QHash> <QImage> <QPainter> <QPainterPath> <QString> <QStringList>)
set(NIMBREL_PCH_WIDGETS ${NIMBREL_PCH_ENGINE} <QWidget>)

# Sources compile in batches of up to eight from one folder: a fresh build
# parses the common headers far less often, an edit still rebuilds only its
# batch, and files of different folders (which may open different namespaces
# at file scope) never share one. The built-in classes of the second machine
# compile alone: their natives are named after the methods they serve.
function(nimbrel_batch target)
    if(NOT NIMBREL_UNITY)
        return()
    endif()
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
    get_target_property(srcs ${target} SOURCES)
    foreach(src ${srcs})
        if(NOT src MATCHES "\\.cpp$")
            continue()
        endif()
        if(src MATCHES "/builtins/[^/]*\\.cpp$")
            set_source_files_properties(${src} TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
            continue()
        endif()
        get_filename_component(dir ${src} DIRECTORY)
        string(MD5 key "${dir}")
        string(SUBSTRING ${key} 0 8 key)
        if(NOT DEFINED count_${key})
            set(count_${key} 0)
        endif()
        math(EXPR batch "${count_${key}} / 8")
        math(EXPR count_${key} "${count_${key}} + 1")
        set_source_files_properties(${src} TARGET_DIRECTORY ${target} PROPERTIES UNITY_GROUP "${key}_${batch}")
    endforeach()
endfunction()

# kind is ENGINE (no QtWidgets anywhere) or WIDGETS.
function(nimbrel_precompile target kind)
    if(NIMBREL_PCH)
        target_precompile_headers(${target} PRIVATE ${NIMBREL_PCH_${kind}} ${ARGN})
    endif()
endfunction()

# The same, for targets built with the same options: the first of a kind
# precompiles and the rest reuse its result, which saves a whole header parse
# per target. `group` names targets whose compile options match.
function(nimbrel_precompile_shared target group kind)
    if(NOT NIMBREL_PCH)
        return()
    endif()
    get_property(owner GLOBAL PROPERTY NIMBREL_PCH_OWNER_${group}_${kind})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
    else()
        target_precompile_headers(${target} PRIVATE ${NIMBREL_PCH_${kind}} ${ARGN})
        set_property(GLOBAL PROPERTY NIMBREL_PCH_OWNER_${group}_${kind} ${target})
    endif()
endfunction()

# One library per folder under src/. Sources are picked up from the folder tree,
# so adding a class needs no edit here.
function(nimbrel_add_library name dir)
    cmake_parse_arguments(ARG "" "" "PUBLIC_LIBS" ${ARGN})
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp
        ${CMAKE_SOURCE_DIR}/src/${dir}/*.qrc)
    list(FILTER srcs INCLUDE REGEX "\\.(cpp|qrc)$")
    if(srcs)
        file(GLOB_RECURSE hdrs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.h)
        add_library(${name} STATIC ${srcs} ${hdrs})
        target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS})
        nimbrel_batch(${name})
        # Line tables are enough for a backtrace, and debug information is much of the compile time.
        target_compile_options(${name} PRIVATE $<$<CONFIG:RelWithDebInfo>:-g1>)
        if(dir STREQUAL "movie")
            nimbrel_precompile(${name} ENGINE)
        else()
            nimbrel_precompile_shared(${name} LIBRARY WIDGETS)
        endif()
    else()
        # Nothing built here yet: an interface target keeps the dependency graph whole.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_LIBS})
    endif()
endfunction()

# One GoogleTest executable per folder under tests/; tests are discovered when
# CTest runs so that GUI suites are listed under Xvfb too.
function(nimbrel_add_test_suite name)
    cmake_parse_arguments(ARG "GUI" "DIR" "LIBS;EXCLUDE" ${ARGN})
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${ARG_DIR}/*.cpp)
    foreach(ex ${ARG_EXCLUDE})
        list(FILTER srcs EXCLUDE REGEX "${ex}")
    endforeach()
    if(ARG_GUI)
        list(APPEND srcs ${CMAKE_SOURCE_DIR}/tests/support/main_gui.cpp)
    else()
        list(APPEND srcs ${CMAKE_SOURCE_DIR}/tests/support/main_core.cpp)
    endif()
    add_executable(${name} ${srcs})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        NIMBREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        NIMBREL_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # Line tables are enough to read a failing test's backtrace, and halve its compile time.
    target_compile_options(${name} PRIVATE $<$<CONFIG:RelWithDebInfo>:-g1>)
    nimbrel_batch(${name})
    if(ARG_GUI)
        nimbrel_precompile_shared(${name} TEST WIDGETS <gtest/gtest.h>)
    else()
        nimbrel_precompile_shared(${name} TEST ENGINE <gtest/gtest.h>)
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
