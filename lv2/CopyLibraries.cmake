# cmake -DRACK=voltara_fx.so -DBUILD_DIR=build -DBUNDLE=build/lv2-bundles/voltara.lv2 -P CopyLibraries.cmake
# Copies the rack into the bundle with every shared library it needs that this
# build made (found as the rack's loader finds them, through its run path);
# system libraries stay where they are.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM linux+elf)
file(GET_RUNTIME_DEPENDENCIES
    LIBRARIES ${RACK}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved)
if(unresolved)
    message(FATAL_ERROR "the rack needs libraries that cannot be found: ${unresolved}")
endif()
file(REAL_PATH ${BUILD_DIR} build_dir)
set(copies ${RACK})
foreach(library ${resolved})
    file(REAL_PATH ${library} real)
    string(FIND ${real} "${build_dir}/" at)
    if(at EQUAL 0)
        list(APPEND copies ${library})
    endif()
endforeach()
foreach(library ${copies})
    get_filename_component(name ${library} NAME)
    file(COPY_FILE ${library} ${BUNDLE}/${name} ONLY_IF_DIFFERENT)
endforeach()
