# Fails when a module includes a header of a module above it. The modules form
# layers: app on top; document and input in the middle; the archive, settings
# and common below. Run by CTest:
#   cmake -DSOURCE_DIR=<project>/src -P CheckModuleLayering.cmake

# module folder (relative to src) ; the folders its sources may include from
set(allowed_common "common")
set(allowed_settings "common;settings")
set(allowed_archive "common;archive")
set(allowed_input "common;input")
set(allowed_document "common;document")

set(violations "")
foreach(module common settings archive input document)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${module}/*.h" "${SOURCE_DIR}/${module}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"(.*)/[^/]*\".*$" "\\1" folder "${line}")
      # A folder below an allowed module's folder belongs to it.
      set(ok FALSE)
      foreach(allowed IN LISTS allowed_${module})
        if(folder STREQUAL allowed OR folder MATCHES "^${allowed}/")
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        string(APPEND violations "  ${source}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Headers included across the module layers:\n${violations}")
endif()
message(STATUS "Module layers hold")
