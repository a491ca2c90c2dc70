# add_ordinal_library(<Name> <entries>)
#
# Writes <Name>.def, whose exports have ordinals and no names, and makes an import library
# from it. Defines:
#   <Name>_DEF        the .def file (to build a DLL that exports exactly these ordinals)
#   engine::<Name>    imported target that links against the import library
# Each entry is Name:ordinal:argument-bytes; 32-bit builds decorate the names as stdcall.
function(add_ordinal_library name entries)
    set(def "LIBRARY ${name}.dll\nEXPORTS\n")
    foreach(entry IN LISTS entries)
        string(REPLACE ":" ";" parts "${entry}")
        list(GET parts 0 symbol)
        list(GET parts 1 ordinal)
        list(GET parts 2 bytes)
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            string(APPEND def "    ${symbol}@${bytes} @${ordinal} NONAME\n")
        else()
            string(APPEND def "    ${symbol} @${ordinal} NONAME\n")
        endif()
    endforeach()
    set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
    file(WRITE ${def_file} "${def}")

    # The import library is made at configure time: it depends only on the table above.
    set(import_lib ${CMAKE_CURRENT_BINARY_DIR}/lib${name}.a)
    set(kill_at "")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(kill_at -k)
    endif()
    execute_process(
        COMMAND ${CMAKE_DLLTOOL} -d ${def_file} -l ${import_lib} ${kill_at}
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dlltool failed for ${name}.def")
    endif()

    add_library(engine::${name} UNKNOWN IMPORTED GLOBAL)
    set_target_properties(engine::${name} PROPERTIES IMPORTED_LOCATION ${import_lib})
    set(${name}_DEF ${def_file} CACHE INTERNAL "Ordinal exports of ${name}.dll")
endfunction()
