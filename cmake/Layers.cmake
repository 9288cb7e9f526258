# Each library exposes only the headers of its own folder: its public include
# root is a build-tree folder holding one entry named after the source folder
# (link/, meter/, ...), so "#include "meter/x.h"" resolves only for targets
# that link a library of meter/. A lower layer that includes a higher one's
# header fails to build.

# zt_expose_folder(<target>): the folder of the calling CMakeLists.txt.
function(zt_expose_folder target)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(entry ${root}/${folder})
  if(NOT EXISTS ${entry})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${entry} SYMBOLIC RESULT failure)
    if(failure)
      # Where symbolic links cannot be made (Windows without the right to),
      # one forwarding header per header of the folder does the same.
      file(GLOB headers RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
      foreach(header IN LISTS headers)
        file(WRITE ${entry}/${header}
             "#pragma once\n#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n")
      endforeach()
    endif()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
