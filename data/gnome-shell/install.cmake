# Installs Pentrax's GNOME Shell extension, run by `cmake --install` (and by
# CPack): the form of the GNOME Shell on the machine it installs on, or the
# one PENTRAX_GNOME_SHELL_FORM names (when there is no shell there: the form
# found when the build was configured), with the installed pentrax2 as the
# only program it answers. The variables come from CMakeLists.txt.
include(${CMAKE_CURRENT_LIST_DIR}/form.cmake)

set(form ${PENTRAX_GNOME_SHELL_FORM})
if(form STREQUAL "auto")
  pentrax_gnome_shell_form(form ${PENTRAX_CONFIGURED_FORM})
endif()
if(NOT form MATCHES "^(legacy|module)$")
  message(FATAL_ERROR "PENTRAX_GNOME_SHELL_FORM is ${form}: auto, legacy or module")
endif()

# The path pentrax2 has once installed (without DESTDIR, which only stages).
cmake_path(ABSOLUTE_PATH PENTRAX_BINDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
  NORMALIZE OUTPUT_VARIABLE bindir)
file(WRITE "${PENTRAX_EXTENSION_WORK}/callers.txt" "${bindir}/pentrax2\n")
set(uuid pentrax@pentrax.dev)
set(out "${PENTRAX_EXTENSION_WORK}/${uuid}")
file(REMOVE_RECURSE "${out}")
execute_process(COMMAND "${CMAKE_COMMAND}" -DFORM=${form}
    "-DSOURCE_DIR=${PENTRAX_EXTENSION_SOURCE}" "-DOUTPUT_DIR=${out}"
    "-DCALLERS_FILE=${PENTRAX_EXTENSION_WORK}/callers.txt"
    -P "${CMAKE_CURRENT_LIST_DIR}/generate.cmake"
  COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "GNOME Shell extension: the ${form} form, for ${bindir}/pentrax2")
cmake_path(ABSOLUTE_PATH PENTRAX_DATADIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
  NORMALIZE OUTPUT_VARIABLE datadir)
file(INSTALL DESTINATION "${datadir}/gnome-shell/extensions" TYPE DIRECTORY
  FILES "${out}")
