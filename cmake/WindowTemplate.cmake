# The window template is compiled from its description by a host tool
# (tools/template_compiler.cpp). A Windows build runs the tool of the host
# build named by LYRABOX_HOST_BUILD_DIR, building it there first.

set(LYRABOX_TEMPLATE_SOURCES
    ${PROJECT_SOURCE_DIR}/data/window_template.h
    ${PROJECT_SOURCE_DIR}/data/window_template.cpp
    ${PROJECT_SOURCE_DIR}/data/routine_indices.h
    ${PROJECT_SOURCE_DIR}/data/button_media.h
    ${PROJECT_SOURCE_DIR}/data/button_media.cpp
    ${PROJECT_SOURCE_DIR}/tools/template_compiler.cpp
    ${PROJECT_SOURCE_DIR}/tools/template_variants.h
    ${PROJECT_SOURCE_DIR}/tools/template_variants.cpp
    ${PROJECT_SOURCE_DIR}/window_units/template_format.h
    ${PROJECT_SOURCE_DIR}/window_units/template_format.cpp
    ${PROJECT_SOURCE_DIR}/window_units/property_block.h
    ${PROJECT_SOURCE_DIR}/window_units/property_block.cpp)
file(GLOB LYRABOX_BLOCK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/window_units/components/*_block.*)
list(APPEND LYRABOX_TEMPLATE_SOURCES ${LYRABOX_BLOCK_SOURCES})

if(LYRABOX_WINDOWS)
    set(LYRABOX_HOST_BUILD_DIR "${PROJECT_SOURCE_DIR}/build/host" CACHE PATH
        "Host build whose template compiler the Windows build runs")
    if(NOT EXISTS "${LYRABOX_HOST_BUILD_DIR}/CMakeCache.txt")
        message(FATAL_ERROR
            "The window template needs the host build's template compiler, and no host build was found at "
            "${LYRABOX_HOST_BUILD_DIR}. Configure it first "
            "(cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug) or pass -DLYRABOX_HOST_BUILD_DIR=<abs path>.")
    endif()
    set(LYRABOX_TEMPLATE_COMPILER "${LYRABOX_HOST_BUILD_DIR}/tools/lyrabox_template_compiler")
endif()

# Generates OUTPUT, a C++ source defining lyra::SYMBOL (the bytes) and
# lyra::SYMBOLSize, from the description variant VARIANT.
function(lyrabox_compile_template variant symbol output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} --build ${LYRABOX_HOST_BUILD_DIR} --target lyrabox_template_compiler
        COMMAND ${LYRABOX_TEMPLATE_COMPILER} --variant ${variant} --source ${output} --symbol ${symbol}
        DEPENDS ${LYRABOX_TEMPLATE_SOURCES}
        COMMENT "Compiling the window template (${variant})"
        VERBATIM)
endfunction()
