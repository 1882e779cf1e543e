# Compiles every <id>.bmp of a folder into a target (Linux; Windows builds
# carry them as real resources). The generated source holds the files
# (assembler .incbin) and registers them with the window system under the
# module the target becomes, when that module is loaded. No files, no table.
function(voltara_embed_bitmaps target folder)
    file(GLOB bitmaps CONFIGURE_DEPENDS ${folder}/*.bmp)
    set(source ${CMAKE_BINARY_DIR}/generated/${target}_bitmaps.cpp)
    set(blobs "")
    set(entries "")
    set(count 0)
    foreach(bitmap ${bitmaps})
        get_filename_component(id ${bitmap} NAME_WE)
        if(NOT id MATCHES "^[0-9]+$")
            continue()
        endif()
        set(symbol voltara_bitmap_${target}_${id})
        string(APPEND blobs
            "asm(\".pushsection .rodata\\n.balign 4\\n.globl ${symbol}\\n.hidden ${symbol}\\n${symbol}:\\n"
            ".incbin \\\"${bitmap}\\\"\\n.globl ${symbol}_end\\n.hidden ${symbol}_end\\n${symbol}_end:\\n.popsection\");\n"
            "extern \"C\" const unsigned char ${symbol}[], ${symbol}_end[];\n")
        string(APPEND entries "    {${id}, ${symbol}, size_t(${symbol}_end - ${symbol})},\n")
        math(EXPR count "${count} + 1")
    endforeach()
    if(count EQUAL 0)
        set(content "// No bitmap files in ${folder}.\n")
    else()
        string(CONCAT content "// Generated from ${folder}.\n#include \"platform/linux/BitmapResources.h\"\n\n${blobs}\n"
            "namespace {\n\nconst voltara::platform::EmbeddedBitmap table[] = {\n${entries}};\n\n"
            "struct Registration {\n"
            "    Registration() { voltara::platform::registerBitmapResources(table, table, ${count}); }\n"
            "    ~Registration() { voltara::platform::unregisterBitmapResources(table); }\n"
            "} registration;\n\n} // namespace\n")
    endif()
    file(CONFIGURE OUTPUT ${source} CONTENT "${content}")
    target_sources(${target} PRIVATE ${source})
    set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS "${bitmaps}")
endfunction()
