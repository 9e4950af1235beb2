# pentrax_gnome_shell_form(VAR FALLBACK): the extension's form for the GNOME
# Shell that `gnome-shell --version` names on this machine (legacy for 43 and
# 44, module for 45 and later), or FALLBACK when there is none.
function(pentrax_gnome_shell_form var fallback)
  set(form ${fallback})
  execute_process(COMMAND gnome-shell --version OUTPUT_VARIABLE version
    ERROR_QUIET RESULT_VARIABLE failed)
  if(NOT failed AND version MATCHES "GNOME Shell ([0-9]+)\\.")
    if(CMAKE_MATCH_1 LESS 45)
      set(form legacy)
    else()
      set(form module)
    endif()
  endif()
  set(${var} ${form} PARENT_SCOPE)
endfunction()
