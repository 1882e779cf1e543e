# cmake "-DBINARIES=voltara_fx.so;voltara_lv2_ui.so" -DBUILD_DIR=build -DBUNDLE=build/lv2-bundles/voltara.lv2
#       -P CopyLibraries.cmake
# Copies the given binaries into the bundle with every shared library they
# need that this build made (found as their loader finds them, through their
# run paths); system libraries stay where they are.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM linux+elf)
file(GET_RUNTIME_DEPENDENCIES
    LIBRARIES ${BINARIES}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved)
if(unresolved)
    message(FATAL_ERROR "the bundle needs libraries that cannot be found: ${unresolved}")
endif()
file(REAL_PATH ${BUILD_DIR} build_dir)
set(copies ${BINARIES})
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
