# Settings store process tests need a writer they can kill or run side by side,
# and the command-line tool. The writer's source ends in .cc so that the suite,
# which takes every .cpp of this folder, does not get a second main().
if(TARGET test_platform)
    add_executable(SettingsStressWriter ${CMAKE_SOURCE_DIR}/tests/platform/SettingsStressWriter.cc)
    target_include_directories(SettingsStressWriter PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(SettingsStressWriter PRIVATE nimbrel_platform Qt6::Core)

    add_dependencies(test_platform SettingsStressWriter nimbrel-settings)
    target_compile_definitions(test_platform PRIVATE
        NIMBREL_SETTINGS_WRITER="$<TARGET_FILE:SettingsStressWriter>"
        NIMBREL_SETTINGS_TOOL="$<TARGET_FILE:nimbrel-settings>")
endif()
