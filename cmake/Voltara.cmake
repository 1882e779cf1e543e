# Every folder of code is one target, and a target sees the headers of its own
# folder and of the targets it links, no others. Includes are written from the
# source root ("effects/FxModule.h"); each target gets a staging folder in the
# build tree, include/<target>/<folder>/, with a link to each header of its
# folder (not of its subfolders, which are targets of their own), and that
# staging folder goes on the include path of the target and of what links it.
# The folder is the current source folder unless a third argument names one.
function(voltara_stage_headers target scope)
    set(source ${CMAKE_CURRENT_SOURCE_DIR})
    if(ARGC GREATER 2)
        set(source ${ARGV2})
    endif()
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${source})
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    set(stage ${root}/${folder})
    file(GLOB headers CONFIGURE_DEPENDS ${source}/*.h)
    file(GLOB staged LIST_DIRECTORIES false ${stage}/*)
    if(staged)
        file(REMOVE ${staged})
    endif()
    file(MAKE_DIRECTORY ${stage})
    foreach(header IN LISTS headers)
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${stage}/${name} SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# The static library of the current folder: every .cpp in it. A folder of
# headers only becomes an interface library.
function(voltara_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
        voltara_stage_headers(${name} PUBLIC)
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${ARG_LIBS})
        voltara_stage_headers(${name} INTERFACE)
    endif()
endfunction()
