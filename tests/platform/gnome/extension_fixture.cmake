# Makes a copy of Pentrax's GNOME Shell extension (one form, as built) that
# goes wrong as the tests need it to, in a GNOME Shell of their own:
#   failing      every call that reads a window fails inside the extension
#                (as a shell without a method it calls makes it fail), and
#                switched on a second time it fails to start;
#   out-of-date  it names only a GNOME Shell older than any Pentrax runs in.
#
#   cmake -DFIXTURE=failing|out-of-date -DIN=DIR -DOUT=DIR -P extension_fixture.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${OUT}")
file(COPY "${IN}/" DESTINATION "${OUT}")
# Puts text after a line of extension.js that must be there.
function(after line text)
  file(READ "${OUT}/extension.js" js)
  string(FIND "${js}" "${line}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "${IN}/extension.js: no \"${line}\"")
  endif()
  string(REPLACE "${line}\n" "${line}\n${text}\n" js "${js}")
  file(WRITE "${OUT}/extension.js" "${js}")
endfunction()

if(FIXTURE STREQUAL "failing")
  after("function pentraxState(w) {"
    "    throw new TypeError('w.get_maximized is not a function');")
  after("class PentraxShell {" "    static starts = 0;")
  after("    export() {"
    "        if (PentraxShell.starts++ > 0)\n            throw new Error('started twice');")
elseif(FIXTURE STREQUAL "out-of-date")
  file(READ "${OUT}/metadata.json" meta)
  string(JSON meta SET "${meta}" shell-version "[\"42\"]")
  file(WRITE "${OUT}/metadata.json" "${meta}\n")
else()
  message(FATAL_ERROR "FIXTURE: failing or out-of-date, not ${FIXTURE}")
endif()
