# Which headers a library shows to what links it. Its own sources reach the whole of its folder,
# internal/ included ("residue/internal/ModularTables.h"); what links it reaches only the headers
# at the top of that folder; where the folder holds more than one library, the ones named after
# HEADERS, or all but the ones named after EXCEPT. Both are include roots in the build folder made of links into src/, so that including
# another library's private header fails to compile instead of only breaking a convention.
function(kiv_library_headers target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "HEADERS;EXCEPT")
  set(source ${PROJECT_SOURCE_DIR}/src/${folder})
  if(NOT arg_HEADERS)
    file(GLOB arg_HEADERS CONFIGURE_DEPENDS RELATIVE ${source} ${source}/*.h)
    if(arg_EXCEPT)
      list(REMOVE_ITEM arg_HEADERS ${arg_EXCEPT})
    endif()
  endif()
  set(public ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${public})
  file(MAKE_DIRECTORY ${public}/${folder})
  foreach(header IN LISTS arg_HEADERS)
    if(NOT EXISTS ${source}/${header})
      message(FATAL_ERROR "${target} exports ${folder}/${header}, which does not exist")
    endif()
    file(CREATE_LINK ${source}/${header} ${public}/${folder}/${header} SYMBOLIC)
  endforeach()
  # A library of headers only has no sources of its own to give the whole folder to.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${public})
    return()
  endif()
  target_include_directories(${target} PUBLIC ${public})
  kiv_private_headers(${target} ${folder})
endfunction()

# The whole of a library's folder, for its own sources and for the tests of its private parts.
function(kiv_private_headers target folder)
  string(REPLACE "/" "_" name ${folder})
  set(root ${PROJECT_BINARY_DIR}/include/own_${name})
  if(NOT EXISTS ${root}/${folder})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE ${root})
endfunction()
