# The core's layers as build targets.
#
# wintarvo_layer(NAME [USES LAYER...]) makes the static library wintarvo_NAME from the folder
# NAME (whose CMakeLists.txt adds the sources to it) and links it with the layers it uses. Its
# sources see the project only through a folder of links to NAME and those layers, so including
# a header of any other layer fails to compile. USES lists every layer a layer may include,
# not only the nearest.
#
# wintarvo_clients(FOLDER USES ...) records what a folder above the core (a program, the
# benchmarks) may include; those folders build against the whole core.
#
# wintarvo_write_layer_table() writes both kinds to layers.txt in the build folder, one line
# a folder: "FOLDER: USED...", which the test layer_check compares with every #include.

set(WINTARVO_LAYER_INCLUDES ${CMAKE_BINARY_DIR}/layer_includes)

function(wintarvo_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES")
    add_library(wintarvo_${name} STATIC)
    set(dir ${WINTARVO_LAYER_INCLUDES}/${name})
    file(MAKE_DIRECTORY ${dir})
    # Links left from an earlier table go first (removing a link leaves its folder alone).
    file(GLOB old LIST_DIRECTORIES true ${dir}/*)
    if(old)
        file(REMOVE ${old})
    endif()
    foreach(folder IN ITEMS ${name} ${arg_USES})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
    endforeach()
    target_include_directories(wintarvo_${name} PRIVATE ${dir})
    foreach(used IN LISTS arg_USES)
        target_link_libraries(wintarvo_${name} PUBLIC wintarvo_${used})
    endforeach()
    target_link_libraries(wintarvo_${name} PUBLIC Threads::Threads)
    string(REPLACE ";" " " uses "${arg_USES}")
    set_property(GLOBAL APPEND PROPERTY WINTARVO_LAYER_TABLE "${name}: ${uses}")
    add_subdirectory(${name})
endfunction()

function(wintarvo_clients folder)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES")
    string(REPLACE ";" " " uses "${arg_USES}")
    set_property(GLOBAL APPEND PROPERTY WINTARVO_LAYER_TABLE "${folder}: ${uses}")
endfunction()

function(wintarvo_write_layer_table)
    get_property(rows GLOBAL PROPERTY WINTARVO_LAYER_TABLE)
    string(REPLACE ";" "\n" text "${rows}")
    file(WRITE ${CMAKE_BINARY_DIR}/layers.txt "${text}\n")
endfunction()
