# Run by CPack's External generator once the programs are staged in
# CPACK_TEMPORARY_DIRECTORY: makes the installer from them.
if(NOT CPACK_TARVEL_MAKENSIS)
  message(FATAL_ERROR "makensis was not found: install nsis (scripts/install-deps.sh --packages).")
endif()
set(setup ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
execute_process(
  COMMAND ${CPACK_TARVEL_MAKENSIS} -V2 -DVERSION=${CPACK_PACKAGE_VERSION}
          -DSTAGE=${CPACK_TEMPORARY_DIRECTORY} -DOUTFILE=${setup}
          -DICON=${CPACK_TARVEL_ICON} ${CPACK_TARVEL_NSI}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "makensis could not make ${setup}.")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${setup})
