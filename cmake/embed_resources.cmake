# Resources of a program, the same way on every target.
#
# gfx_embed_resources(<target> NAME <name> TYPE <type> FILE <path> [NAME ... TYPE ... FILE ...])
#
# Each file becomes a resource of the target, found at run time through FindModuleResource
# (graphics/platform/module_resource.h). A name or type made of digits is an integer id, any other
# is a string (compared without regard to case). Type 2 (or BITMAP) is the standard bitmap type:
# as on Windows, the 14-byte file header of a bitmap file is not part of the resource.
# On Windows the resources go into a resource script compiled into the program; elsewhere into a
# generated source that registers them before main.

if(CMAKE_SCRIPT_MODE_FILE)
    # Script mode: turn the manifest into the source that registers the resources.
    file(STRINGS "${GFX_EMBED_MANIFEST}" entries)
    set(arrays "")
    set(calls "")
    set(index 0)
    foreach(entry IN LISTS entries)
        string(REPLACE "|" ";" fields "${entry}")
        list(GET fields 0 name)
        list(GET fields 1 type)
        list(GET fields 2 path)
        file(SIZE "${path}" length)
        set(offset 0)
        if(type STREQUAL "2" AND length GREATER_EQUAL 14)
            file(READ "${path}" magic LIMIT 2 HEX)
            if(magic STREQUAL "424d")
                set(offset 14)
            endif()
        endif()
        math(EXPR length "${length} - ${offset}")
        if(length GREATER 0)
            file(READ "${path}" hex OFFSET ${offset} HEX)
            string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
            # Sixteen bytes a line (CMake's expressions have no counted repetition).
            string(REPEAT "0x..," 16 line_pattern)
            string(REGEX REPLACE "(${line_pattern})" "\\1\n    " bytes "${bytes}")
        else()
            set(bytes "0")
        endif()
        foreach(part name type)
            if(${part} MATCHES "^[0-9]+$")
                set(${part}_code "gfx::MakeIntResource(${${part}})")
            else()
                set(${part}_code "\"${${part}}\"")
            endif()
        endforeach()
        string(APPEND arrays "const unsigned char kResource${index}[] = {\n    ${bytes}};\n")
        string(APPEND calls "        gfx::RegisterModuleResource(${name_code}, ${type_code}, "
                            "kResource${index}, ${length});\n")
        math(EXPR index "${index} + 1")
    endforeach()
    file(WRITE "${GFX_EMBED_OUTPUT}.new"
        "// Generated from the program's resource list; do not edit.\n"
        "#include \"graphics/platform/module_resource.h\"\n\nnamespace {\n\n${arrays}\n"
        "struct Registrar {\n    Registrar() {\n${calls}    }\n} registrar;\n\n}  // namespace\n")
    file(RENAME "${GFX_EMBED_OUTPUT}.new" "${GFX_EMBED_OUTPUT}")
    return()
endif()

if(WIN32)
    enable_language(RC)
endif()

set(GFX_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(gfx_embed_resources target)
    set(manifest "")
    set(script "")
    set(files "")
    set(rest ${ARGN})
    while(rest)
        list(LENGTH rest count)
        if(count LESS 6)
            message(FATAL_ERROR "gfx_embed_resources: expected NAME <name> TYPE <type> FILE <path>")
        endif()
        list(GET rest 0 k1)
        list(GET rest 1 name)
        list(GET rest 2 k2)
        list(GET rest 3 type)
        list(GET rest 4 k3)
        list(GET rest 5 path)
        list(REMOVE_AT rest 0 1 2 3 4 5)
        if(NOT k1 STREQUAL "NAME" OR NOT k2 STREQUAL "TYPE" OR NOT k3 STREQUAL "FILE")
            message(FATAL_ERROR "gfx_embed_resources: expected NAME <name> TYPE <type> FILE <path>")
        endif()
        get_filename_component(path "${path}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        string(TOUPPER "${type}" upper_type)
        if(upper_type STREQUAL "BITMAP")
            set(type 2)
        endif()
        list(APPEND files "${path}")
        string(APPEND manifest "${name}|${type}|${path}\n")
        if(type STREQUAL "2")
            set(rc_type BITMAP)
        else()
            set(rc_type "${type}")
        endif()
        string(APPEND script "${name} ${rc_type} \"${path}\"\n")
    endwhile()

    if(WIN32)
        set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc")
        file(WRITE "${output}.in" "${script}")
        configure_file("${output}.in" "${output}" COPYONLY)
        set_source_files_properties("${output}" PROPERTIES OBJECT_DEPENDS "${files}")
    else()
        set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
        set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.txt")
        file(WRITE "${list_file}.in" "${manifest}")
        configure_file("${list_file}.in" "${list_file}" COPYONLY)
        add_custom_command(
            OUTPUT "${output}"
            COMMAND ${CMAKE_COMMAND} -DGFX_EMBED_MANIFEST=${list_file}
                    -DGFX_EMBED_OUTPUT=${output} -P "${GFX_EMBED_SCRIPT}"
            DEPENDS "${list_file}" "${GFX_EMBED_SCRIPT}" ${files}
            COMMENT "Embedding resources of ${target}"
            VERBATIM)
        target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    endif()
    target_sources(${target} PRIVATE "${output}")
endfunction()
