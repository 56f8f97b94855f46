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
get_property(kavro_generated GLOBAL PROPERTY KAVRO_GENERATED_TARGETS)
if(kavro_generated)
  add_dependencies(stage ${kavro_generated})
endif()
