# The installation tree the program runs from: the executable plus the data
# it reads relative to its working folder. Tools that generate data add
# their outputs as dependencies of this target.
add_custom_target(stage ALL
  COMMAND ${CMAKE_COMMAND}
          -DSRC=${PROJECT_SOURCE_DIR} -DDST=${KAVRO_STAGE_DIR} -DBIN=${CMAKE_BINARY_DIR}
          -DEXE=$<TARGET_FILE:kavro>
          -P ${PROJECT_SOURCE_DIR}/cmake/stage_copy.cmake
  DEPENDS kavro
  VERBATIM
  COMMENT "Staging the installation tree in ${KAVRO_STAGE_DIR}")
add_dependencies(stage kavro_fonts)
