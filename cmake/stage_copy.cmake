# Copies the executable and the installation data into the stage folder.
# Generated data (written by tools at build time into ${BIN}/generated/<dir>)
# is laid over the authored data of the same folder.
file(MAKE_DIRECTORY "${DST}")
file(COPY "${EXE}" DESTINATION "${DST}")
# The helper programs the program starts, installed beside it.
foreach(helper IN LISTS HELPERS)
  file(COPY "${helper}" DESTINATION "${DST}")
endforeach()
foreach(d nls graphics dat doc)
  if(EXISTS "${SRC}/${d}")
    # Page templates (*.in) are the generators' input, not installation data.
    file(COPY "${SRC}/${d}" DESTINATION "${DST}" PATTERN "*.in" EXCLUDE)
  endif()
  if(EXISTS "${BIN}/generated/${d}")
    file(COPY "${BIN}/generated/${d}" DESTINATION "${DST}")
  endif()
endforeach()
foreach(f kavro.gtkrc kavro.version)
  if(EXISTS "${SRC}/${f}")
    file(COPY "${SRC}/${f}" DESTINATION "${DST}")
  endif()
endforeach()
# The first start copies these folders into the user's; they exist even
# while the installation brings nothing for them.
foreach(d draw sym dia tex)
  file(MAKE_DIRECTORY "${DST}/dat/${d}")
endforeach()
