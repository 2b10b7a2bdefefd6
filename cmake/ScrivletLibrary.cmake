# scrivlet_library(<name> SOURCES <files>... USES <libraries>...)
#
# One folder of the program as a static library that links the libraries it
# USES. Its sources see its own headers and those of the libraries it uses,
# directly or through them, and no others: a header of a library above it is
# not found, so an include that goes upward fails to compile. The headers are
# reached through one-line forwarding headers in the build tree, under the
# path they are included by ("editor/EditorWindow.h").
function(scrivlet_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;USES")
    add_library(${name} STATIC ${arg_SOURCES})
    target_link_libraries(${name} PUBLIC ${arg_USES})

    set(headers)
    foreach(source IN LISTS arg_SOURCES)
        if(source MATCHES "\\.h$")
            list(APPEND headers ${CMAKE_CURRENT_SOURCE_DIR}/${source})
        endif()
    endforeach()
    foreach(used IN LISTS arg_USES)
        if(TARGET ${used})
            get_target_property(used_headers ${used} SCRIVLET_HEADERS)
            if(used_headers)
                list(APPEND headers ${used_headers})
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES headers)
    set_target_properties(${name} PROPERTIES SCRIVLET_HEADERS "${headers}")

    set(root ${CMAKE_BINARY_DIR}/layers/${name})
    set(forwarders)
    foreach(header IN LISTS headers)
        file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR}/src ${header})
        # Written only when its text changes, so that a new configure
        # rebuilds nothing.
        file(CONFIGURE OUTPUT ${root}/${path} CONTENT "#include \"${header}\"\n" @ONLY)
        list(APPEND forwarders ${root}/${path})
    endforeach()
    # A header that left the list must not stay reachable.
    file(GLOB_RECURSE old_forwarders ${root}/*.h)
    foreach(old IN LISTS old_forwarders)
        if(NOT old IN_LIST forwarders)
            file(REMOVE ${old})
        endif()
    endforeach()
    # Public: what links this library may reach the same headers.
    target_include_directories(${name} PUBLIC ${root})
endfunction()
