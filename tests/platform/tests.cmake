# Settings store process tests need a writer they can kill or run side by side,
# and the command-line tool. The writer's source ends in .cc so that the suite,
# which takes every .cpp of this folder, does not get a second main().
if(TARGET test_platform)
    add_executable(SettingsStressWriter ${CMAKE_SOURCE_DIR}/tests/platform/SettingsStressWriter.cc)
    target_include_directories(SettingsStressWriter PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(SettingsStressWriter PRIVATE nimbrel_platform Qt6::Core)

    add_dependencies(test_platform SettingsStressWriter nimbrel-settings)
    # The two paths come in a generated header rather than as definitions of the
    # whole suite, which would keep it from sharing the other suites' precompiled header.
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/tests/platform/SettingsProcessPaths.h CONTENT
"#pragma once
#define NIMBREL_SETTINGS_WRITER \"$<TARGET_FILE:SettingsStressWriter>\"
#define NIMBREL_SETTINGS_TOOL \"$<TARGET_FILE:nimbrel-settings>\"
")
    target_include_directories(test_platform PRIVATE ${CMAKE_BINARY_DIR}/tests/platform)
endif()
