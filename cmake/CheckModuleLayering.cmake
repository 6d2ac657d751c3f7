# Fails when a module includes a header of a module above it. The modules form
# layers: app on top; document, archive commands and input in the middle; the
# archive store, settings and common below. Run by CTest:
#   cmake -DSOURCE_DIR=<project>/src -P CheckModuleLayering.cmake

# module folder (relative to src) ; the folders its sources may include from
set(allowed_common "common")
set(allowed_settings "common;settings")
set(allowed_archive "common;archive")
set(allowed_archive_commands "common;archive;archive/commands")
set(allowed_input "common;input")
set(allowed_document "common;archive;archive/commands;document")

set(violations "")
foreach(module common settings archive archive/commands input document)
  string(REPLACE "/" "_" key "${module}")
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${module}/*.h" "${SOURCE_DIR}/${module}/*.cpp")
  foreach(source IN LISTS sources)
    # archive/commands is a module of its own, checked on its own.
    if(module STREQUAL "archive" AND source MATCHES "^archive/commands/")
      continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"(.*)/[^/]*\".*$" "\\1" folder "${line}")
      # A folder below an allowed module's folder belongs to it, except archive/commands.
      set(ok FALSE)
      foreach(allowed IN LISTS allowed_${key})
        if(folder STREQUAL allowed OR (folder MATCHES "^${allowed}/" AND NOT folder STREQUAL "archive/commands"))
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
