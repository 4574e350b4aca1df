# Run at every build of the converter (cmake -DROOT=<converter folder> -P check_layers.cmake):
# fails when a source includes a header by a path through the project's root or up a folder,
# the only ways past the include paths that keep each layer to those before it.
file(GLOB_RECURSE sources ${ROOT}/*.h ${ROOT}/*.cpp)
foreach(source ${sources})
  file(STRINGS ${source} around REGEX "#include \"(converter/|\\.\\./)")
  if(around)
    message(FATAL_ERROR "${source} includes by a path that passes by the layers: ${around}")
  endif()
endforeach()
