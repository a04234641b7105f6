# The archive a Windows user gets: the deliverables, the read-me, the licence
# and the sample files side by side, named after the project's version (the
# same version the program's version resource carries).
set(TONVALE_PACKAGE_NAME tonvale-${PROJECT_VERSION}-win64)
set(TONVALE_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/dist/${TONVALE_PACKAGE_NAME}.zip)

set(_stage ${CMAKE_BINARY_DIR}/dist/stage)
set(_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(_texts readme.txt license.txt scale.ini note.ini)
list(TRANSFORM _texts PREPEND ${_bin}/ OUTPUT_VARIABLE _text_files)
add_custom_command(OUTPUT ${TONVALE_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}
  COMMAND ${CMAKE_STRIP} -o ${_stage}/tonvale.exe $<TARGET_FILE:tonvale>
  COMMAND ${CMAKE_STRIP} -o ${_stage}/levrig.dll $<TARGET_FILE:levrig>
  COMMAND ${CMAKE_COMMAND} -E copy ${_text_files} ${_stage}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TONVALE_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${_stage}
          ${CMAKE_COMMAND} -E tar cf ${TONVALE_PACKAGE_ZIP} --format=zip
          tonvale.exe levrig.dll ${_texts}
  DEPENDS tonvale levrig ${_text_files}
  COMMENT "Packing ${TONVALE_PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(tonvale_package ALL DEPENDS ${TONVALE_PACKAGE_ZIP})
