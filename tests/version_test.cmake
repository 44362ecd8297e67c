# cmake -DVERSION=... -DPROGRAMS="path;path" -P version_test.cmake
# Each program answers --version with "NAME VERSION" and --help with its usage, exit 0, without
# a display: a package's scripts and a teacher's terminal over ssh have none.
foreach(program IN LISTS PROGRAMS)
  get_filename_component(name "${program}" NAME)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            "${program}" --version
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 20)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "${name} ${VERSION}\n")
    message(FATAL_ERROR "${name} --version: status ${result}, printed '${output}' '${errors}'")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            "${program}" --help
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 20)
  if(NOT result EQUAL 0 OR NOT output MATCHES "使い方: ${name} " OR NOT output MATCHES "--version")
    message(FATAL_ERROR "${name} --help: status ${result}, printed '${output}' '${errors}'")
  endif()
endforeach()
