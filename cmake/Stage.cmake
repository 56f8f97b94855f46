# The installation tree the program runs from: the executable plus the data
# it reads relative to its working folder. Tools that generate data add
# their targets to the global property KAVRO_GENERATED_DATA, and staging
# waits for them.
add_custom_target(stage ALL
  COMMAND ${CMAKE_COMMAND}
          -DSRC=${PROJECT_SOURCE_DIR} -DDST=${KAVRO_STAGE_DIR} -DBIN=${CMAKE_BINARY_DIR}
          -DEXE=$<TARGET_FILE:kavro> "-DHELPERS=$<TARGET_FILE:viewgl>;$<TARGET_FILE:gts_bso>"
          -P ${PROJECT_SOURCE_DIR}/cmake/stage_copy.cmake
  DEPENDS kavro viewgl gts_bso
  VERBATIM
  COMMENT "Staging the installation tree in ${KAVRO_STAGE_DIR}")
get_property(kavro_generated_data GLOBAL PROPERTY KAVRO_GENERATED_DATA)
if(kavro_generated_data)
  add_dependencies(stage ${kavro_generated_data})
endif()
