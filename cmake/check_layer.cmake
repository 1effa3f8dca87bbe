# Fails when a source file of the core folder FOLDER includes a header of a core folder
# outside ALLOWED (a ;-list: the folder itself and the folders it links to, directly or
# not). Run as: cmake -DFOLDER=dir -DALLOWED="a;b" -DCORE_FOLDERS="a;b;c" -P check_layer.cmake
cmake_minimum_required(VERSION 3.20)
get_filename_component(layer "${FOLDER}" NAME)
file(GLOB sources "${FOLDER}/*.h" "${FOLDER}/*.cpp")
set(faults "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    if(line MATCHES "\"(core/)?([a-z_]+)/")
      set(used "${CMAKE_MATCH_2}")
      if(used IN_LIST CORE_FOLDERS AND NOT used IN_LIST ALLOWED)
        get_filename_component(name "${source}" NAME)
        string(APPEND faults "\n  ${layer}/${name} includes ${used}/: ${layer} may use only ${ALLOWED}")
      endif()
    endif()
  endforeach()
endforeach()
if(faults)
  string(REPLACE ";" ", " faults "${faults}")
  message(FATAL_ERROR "A core folder includes a folder it does not link to:${faults}\n"
                      "Link the folders in src/core/CMakeLists.txt if the layering allows it.")
endif()
