# Fails when a C++ source of src/, tests/, bench/ or fuzz/ is not laid out as .clang-format
# says. Run as: cmake -DROOT=dir -DCLANG_FORMAT=program -P check_format.cmake
cmake_minimum_required(VERSION 3.20)
file(GLOB_RECURSE sources "${ROOT}/src/*.cpp" "${ROOT}/src/*.h" "${ROOT}/tests/*.cpp" "${ROOT}/tests/*.h"
     "${ROOT}/bench/*.cpp" "${ROOT}/bench/*.h" "${ROOT}/fuzz/*.cpp" "${ROOT}/fuzz/*.h")
list(FILTER sources EXCLUDE REGEX "/tests/layering/")
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror ${sources} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Some files are not formatted: run clang-format -i on them.")
endif()
