# Checks every #include "FOLDER/..." of the project's folders against the layer table that the
# build writes (layers.txt: "FOLDER: USED...", from the top CMakeLists.txt). A folder in the table
# may include its own headers and those of the folders it uses; an include of any other folder
# of the project climbs or crosses, and fails the check with the file, the line and the rule.
# The tests' own folder may include anything. docs/DESIGN.md must list the same table between
# its "layer table" markers.
#
#   cmake -DSOURCE_DIR=... -DTABLE=.../layers.txt -P layer_check.cmake

cmake_minimum_required(VERSION 3.25)

file(STRINGS ${TABLE} rows)
set(folders)
foreach(row IN LISTS rows)
    string(REGEX MATCH "^([a-z_]+):(.*)$" _ "${row}")
    set(folder ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" uses)
    separate_arguments(uses UNIX_COMMAND "${uses}")
    set(allowed_${folder} ${folder} ${uses})
    list(APPEND folders ${folder})
endforeach()

# The folders whose names can start an include: every folder at the top of the project.
file(GLOB tops LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(project_folders)
foreach(top IN LISTS tops)
    if(IS_DIRECTORY ${SOURCE_DIR}/${top} AND NOT top MATCHES "^(\\.|build)")
        list(APPEND project_folders ${top})
    endif()
endforeach()

set(failures 0)
set(checked 0)
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
        foreach(line IN LISTS includes)
            string(REGEX MATCH "\"([^\"/]+)/" _ "${line}")
            set(used ${CMAKE_MATCH_1})
            math(EXPR checked "${checked} + 1")
            if(NOT used IN_LIST project_folders OR used IN_LIST allowed_${folder})
                continue()
            endif()
            file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
            string(STRIP "${line}" line)
            message(SEND_ERROR "${name}: ${line}: ${folder}/ may include only ${allowed_${folder}}")
            math(EXPR failures "${failures} + 1")
        endforeach()
    endforeach()
endforeach()

# The design page's table, between "<!-- layer table -->" and "<!-- end of layer table -->",
# one row a folder as "| FOLDER | USED... |".
file(READ ${SOURCE_DIR}/docs/DESIGN.md design)
string(REGEX MATCH "<!-- layer table -->(.*)<!-- end of layer table -->" _ "${design}")
set(documented "${CMAKE_MATCH_1}")
set(expected)
foreach(row IN LISTS rows)
    string(REGEX MATCH "^([a-z_]+):(.*)$" _ "${row}")
    string(STRIP "${CMAKE_MATCH_2}" uses)
    string(APPEND expected "| `${CMAKE_MATCH_1}` | ${uses} |\n")
endforeach()
string(REGEX MATCHALL "\\| `[a-z_]+` \\|[^\n]*\n" documented_rows "${documented}")
string(REPLACE ";" "" documented_rows "${documented_rows}")
string(REGEX REPLACE " +" " " documented_rows "${documented_rows}")
string(REGEX REPLACE " +" " " expected "${expected}")
if(NOT documented_rows STREQUAL expected)
    message(SEND_ERROR "docs/DESIGN.md's layer table differs from the build's; the build has:\n${expected}")
    math(EXPR failures "${failures} + 1")
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} include(s) or table(s) break the layers")
endif()
message(STATUS "layers: ${checked} includes checked, none climbs or crosses")
