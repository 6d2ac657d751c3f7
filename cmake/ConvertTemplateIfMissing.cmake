# cmake -DSOURCE=x.fods -DDESTINATION=y.xls -DSOFFICE=... -DWORK_DIR=... -P ConvertTemplateIfMissing.cmake
# The template is kept as a flat OpenDocument file (text, reviewable) and turned
# into the .xls the program opens.
if(EXISTS "${DESTINATION}")
  return()
endif()
if(NOT EXISTS "${SOURCE}")
  message(WARNING "No act template source ${SOURCE}")
  return()
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/out")
get_filename_component(stem "${SOURCE}" NAME_WE)
execute_process(
  COMMAND "${SOFFICE}" --headless --norestore --nolockcheck
    "-env:UserInstallation=file://${WORK_DIR}/profile"
    --convert-to "xls:MS Excel 97" --outdir "${WORK_DIR}/out" "${SOURCE}"
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET TIMEOUT 180)
if(NOT result EQUAL 0 OR NOT EXISTS "${WORK_DIR}/out/${stem}.xls")
  message(FATAL_ERROR "Could not convert the act template ${SOURCE} with ${SOFFICE}")
endif()
get_filename_component(dir "${DESTINATION}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(COPY_FILE "${WORK_DIR}/out/${stem}.xls" "${DESTINATION}")
file(REMOVE_RECURSE "${WORK_DIR}")
