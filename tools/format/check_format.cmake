# Fails when a C++ source of the project is not as clang-format (with the
# project's .clang-format) would write it, and names each such file. Run by
# CTest as source_format:
#   cmake -DSOURCE_DIR=<project> -DCLANG_FORMAT=<clang-format> -P check_format.cmake
# To format a file: clang-format -i <file>.
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
  "${SOURCE_DIR}/tests/*.h" "${SOURCE_DIR}/tests/*.cpp"
  "${SOURCE_DIR}/bench/*.h" "${SOURCE_DIR}/bench/*.cpp"
  "${SOURCE_DIR}/fuzz/*.h" "${SOURCE_DIR}/fuzz/*.cpp"
  "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp")
set(unformatted "")
foreach(source IN LISTS sources)
  execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror "${source}"
    WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    string(APPEND unformatted "  ${source}\n")
  endif()
endforeach()
if(unformatted)
  message(FATAL_ERROR "Not formatted as .clang-format asks (clang-format -i <file> mends it):\n${unformatted}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources formatted")
