# The converter's tests run the real projector stub, so it is built first.
if(TARGET test_library AND TARGET nimbrel-projector)
    add_dependencies(test_library nimbrel-projector)
    target_compile_definitions(test_library PRIVATE NIMBREL_PROJECTOR_STUB="$<TARGET_FILE:nimbrel-projector>")
endif()
