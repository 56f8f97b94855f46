# Sources are picked up by folder, so adding a file never means editing a list.
# kavro_glob(VAR folder...) collects the .cpp files directly inside each folder.
function(kavro_glob out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
