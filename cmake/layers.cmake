# korvane_layer(NAME SEEN...): the library korvane_NAME of src/NAME and the
# include root it compiles against. The root is a folder of the build tree
# holding one link per layer the library may see (itself and SEEN), so
# `#include "modes/..."` from a layer below modes finds no file. What links
# korvane_NAME compiles against the same root, which is correct because every
# layer sees all that the layers it sees may see.
function(korvane_layer name)
  set(root ${CMAKE_BINARY_DIR}/layer_roots/${name})
  file(MAKE_DIRECTORY ${root})
  foreach(seen ${name} ${ARGN})
    if(NOT EXISTS ${root}/${seen})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${seen} ${root}/${seen} SYMBOLIC)
    endif()
  endforeach()
  add_library(korvane_${name} STATIC)
  target_include_directories(korvane_${name} PUBLIC ${root})
  foreach(seen ${ARGN})
    target_link_libraries(korvane_${name} PUBLIC korvane_${seen})
  endforeach()
endfunction()
