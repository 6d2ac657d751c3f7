# cmake -DSOURCE=... -DDESTINATION=... -P CopyIfMissing.cmake
if(EXISTS "${DESTINATION}")
  return()
endif()
get_filename_component(dir "${DESTINATION}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(COPY_FILE "${SOURCE}" "${DESTINATION}")
