# Copies the executable and the installation data into the stage folder.
# Generated data (written by tools at build time into ${BIN}/generated/<dir>)
# is laid over the authored data of the same folder.
file(MAKE_DIRECTORY "${DST}")
file(COPY "${EXE}" DESTINATION "${DST}")
# The helper programs the program starts from its working folder.
foreach(h IN LISTS HELPERS)
  file(COPY "${h}" DESTINATION "${DST}")
endforeach()
foreach(d nls graphics dat doc)
  if(EXISTS "${SRC}/${d}")
    file(COPY "${SRC}/${d}" DESTINATION "${DST}")
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
