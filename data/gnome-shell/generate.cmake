# Builds one form of Pentrax's GNOME Shell extension from the shared body:
# the form's wrapper (imports, and the class or functions that enable it)
# around shell.js, the programs that may call it written in (one absolute
# path a line in CALLERS_FILE), and metadata.json narrowed to the shell
# versions that load this form (43 and 44: legacy; 45 and later: module).
#
#   cmake -DFORM=legacy|module -DSOURCE_DIR=DIR -DOUTPUT_DIR=DIR
#         -DCALLERS_FILE=FILE -P generate.cmake
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${CALLERS_FILE}" paths)
set(callers "[]")
set(i 0)
foreach(path IN LISTS paths)
  if(NOT IS_ABSOLUTE "${path}")
    message(FATAL_ERROR "${CALLERS_FILE}: not an absolute path: ${path}")
  endif()
  string(REPLACE "\\" "\\\\" text "${path}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(JSON callers SET "${callers}" ${i} "\"${text}\"")
  math(EXPR i "${i} + 1")
endforeach()

file(READ "${SOURCE_DIR}/shell.js" body)
string(REPLACE "@PENTRAX_CALLERS@" "${callers}" body "${body}")
file(READ "${SOURCE_DIR}/${FORM}.js.in" wrapper)
string(REPLACE "@PENTRAX_SHELL_BODY@" "${body}" text "${wrapper}")
file(WRITE "${OUTPUT_DIR}/extension.js" "${text}")

file(READ "${SOURCE_DIR}/metadata.json" meta)
string(JSON count LENGTH "${meta}" shell-version)
math(EXPR last "${count} - 1")
set(versions "")
foreach(i RANGE ${last})
  string(JSON v GET "${meta}" shell-version ${i})
  if(v VERSION_LESS 45)
    set(v_form legacy)
  else()
    set(v_form module)
  endif()
  if(v_form STREQUAL FORM)
    list(APPEND versions "\"${v}\"")
  endif()
endforeach()
list(JOIN versions ", " versions)
string(JSON meta SET "${meta}" shell-version "[${versions}]")
file(WRITE "${OUTPUT_DIR}/metadata.json" "${meta}\n")
