# cmake -DBUILD_DIR=... -DWORK_DIR=... -P menu_entry_test.cmake
# Installs the menu entry into two prefixes given only at install time, each under its own
# DESTDIR, and checks that its working folder is that prefix's data folder both times.
foreach(prefix IN ITEMS /opt/rekendo-a /home/learner/.local)
  set(stage "${WORK_DIR}/stage${prefix}")
  file(REMOVE_RECURSE "${stage}")
  set(ENV{DESTDIR} "${stage}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}" --component menu_entry
    RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "install into ${prefix} failed: ${result}")
  endif()
  file(STRINGS "${stage}${prefix}/share/applications/rekendo.desktop" path_lines REGEX "^Path=")
  if(NOT path_lines STREQUAL "Path=${prefix}/share/rekendo")
    message(FATAL_ERROR "prefix ${prefix}: menu entry says '${path_lines}'")
  endif()
endforeach()
