# The player suite also drives the real executable, so it needs its path.
if(TARGET test_player AND TARGET nimbrel)
    add_dependencies(test_player nimbrel)
    target_compile_definitions(test_player PRIVATE NIMBREL_APP_PATH="$<TARGET_FILE:nimbrel>")
endif()
