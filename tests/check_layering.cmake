# Checks the direction of the #include lines under SRC (the src folder):
#   model, model/files   include only model and platform
#   display              includes only model, platform and display
#                        (display/gtk belongs to the interface, not here)
#   platform             includes only platform
#   tools, building      never include the interface (shell, dialogs,
#                        display/gtk) or exchange
#   exchange             never includes the interface
#   shell                never includes shell/gtk (the toolkit-free half)
# and only shell/gtk, dialogs, display/gtk and the helper programs viewgl and
# gts_bso include GTK, GDK or GLib headers. A folder that does not exist yet
# is simply not visited.
#
#   cmake -DSRC=<src> -P check_layering.cmake
#       fails and lists the violations, if any
#   cmake -DSRC=<tree> -DEXPECT=<file> -P check_layering.cmake
#       passes only when the violations found are exactly the lines of <file>
#       ("file -> header"); this is how the check itself is tested

cmake_minimum_required(VERSION 3.25)

# Known violations that are being removed on other branches right now, one
# allow(file header reason) each. An entry that matches nothing any more
# fails the check, so the list only shrinks.
set(allowed)
macro(allow file header reason)
  list(APPEND allowed "${file} -> ${header}")
endmacro()

if(NOT SRC)
  message(FATAL_ERROR "usage: cmake -DSRC=<src folder> [-DEXPECT=<file>] -P check_layering.cmake")
endif()

set(interface shell shell/gtk dialogs display/gtk)
set(only_model model platform)
set(only_display model platform display)
set(only_platform platform)
set(never_tools ${interface} exchange)
set(never_building ${interface} exchange)
set(never_exchange ${interface})
set(never_shell shell/gtk)
set(may_use_gtk shell/gtk dialogs display/gtk viewgl gts_bso)
set(gtk_headers "^(gtk|gdk|gdk-pixbuf|glib|gio|gobject|pango)/|^glib(-object)?\\.h$")

# The area a path relative to SRC belongs to; empty for other files such as
# main.cpp or paths outside SRC.
function(area_of path out)
  set(area "")
  if(path MATCHES "^(display|shell)/gtk/")
    set(area "${CMAKE_MATCH_1}/gtk")
  elseif(path MATCHES "^(model|display|platform|tools|building|exchange|shell|dialogs|viewgl|gts_bso)/")
    set(area "${CMAKE_MATCH_1}")
  endif()
  set(${out} "${area}" PARENT_SCOPE)
endfunction()

set(found)   # "file -> header"
set(report)  # the same with the rule broken
file(GLOB_RECURSE files "${SRC}/*.h" "${SRC}/*.cpp")
foreach(f IN LISTS files)
  file(RELATIVE_PATH rel "${SRC}" "${f}")
  area_of("${rel}" from)
  get_filename_component(dir "${f}" DIRECTORY)
  file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "include[ \t]*([<\"])([^>\"]+)[>\"]")
      continue()
    endif()
    set(delim "${CMAKE_MATCH_1}")
    set(header "${CMAKE_MATCH_2}")
    set(spelled "\"${header}\"")
    if(delim STREQUAL "<")
      set(spelled "<${header}>")
    endif()
    # Where the compiler finds it: a quoted name beside the including file
    # first, then from SRC.
    set(target "${header}")
    if(NOT delim STREQUAL "<" AND EXISTS "${dir}/${header}")
      get_filename_component(found_at "${dir}/${header}" ABSOLUTE)
      file(RELATIVE_PATH target "${SRC}" "${found_at}")
    endif()
    area_of("${target}" to)

    set(rule "")
    if(header MATCHES "${gtk_headers}" AND NOT from IN_LIST may_use_gtk)
      set(rule "GTK, GDK and GLib only in shell/gtk, dialogs, display/gtk, viewgl, gts_bso")
    elseif(NOT to STREQUAL "" AND DEFINED only_${from} AND NOT to IN_LIST only_${from})
      list(JOIN only_${from} ", " names)
      set(rule "${from} includes only ${names}")
    elseif(NOT to STREQUAL "" AND DEFINED never_${from} AND to IN_LIST never_${from})
      list(JOIN never_${from} ", " names)
      set(rule "${from} never includes ${names}")
    endif()
    if(NOT rule STREQUAL "")
      list(APPEND found "${rel} -> ${target}")
      list(APPEND report "${rel}: #include ${spelled}  (${rule})")
    endif()
  endforeach()
endforeach()

if(DEFINED EXPECT)
  file(STRINGS "${EXPECT}" expected REGEX "^[^#].* -> ")
  set(missed ${expected})
  list(REMOVE_ITEM missed ${found})
  set(extra ${found})
  list(REMOVE_ITEM extra ${expected})
  if(missed OR extra)
    list(JOIN missed "\n  " missed_text)
    list(JOIN extra "\n  " extra_text)
    message(FATAL_ERROR "Not found:\n  ${missed_text}\nFound but not expected:\n  ${extra_text}")
  endif()
  list(LENGTH found n)
  message(STATUS "All ${n} expected violations found, nothing else")
  return()
endif()

set(bad)
foreach(item IN ZIP_LISTS found report)
  if(NOT item_0 IN_LIST allowed)
    list(APPEND bad "${item_1}")
  endif()
endforeach()
set(stale ${allowed})
list(REMOVE_ITEM stale ${found})
if(stale)
  list(JOIN stale "\n  " text)
  list(APPEND bad "allowed but no longer found (remove from the list at the top of check_layering.cmake):\n  ${text}")
endif()
if(bad)
  list(JOIN bad "\n  " text)
  message(FATAL_ERROR "Include direction violated:\n  ${text}")
endif()
message(STATUS "Include direction holds under ${SRC}")
