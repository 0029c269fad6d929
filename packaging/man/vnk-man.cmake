# Writes the manual page vnk(1) from vnk's own help texts, so that the page
# and --help never disagree:
#   cmake -DVNK=<vnk> -DVERSION=<version> -DOUT=<vnk.1> -P vnk-man.cmake
function(roff_escape text out)
  string(REPLACE "\\" "\\e" text "${text}")
  # A line that begins with "." or "'" would be a request.
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(help_of out)
  execute_process(COMMAND ${VNK} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "vnk ${ARGN} --help failed: ${rc}")
  endif()
  # The program's path as it was called becomes its name.
  string(REGEX REPLACE "Usage: [^ \n]*vnk" "Usage: vnk" text "${text}")
  string(STRIP "${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(main)
string(REGEX MATCH "\nSubcommands:\n(.*)$" listing "${main}")
string(REGEX MATCHALL "\n  [a-z-]+" names "\n${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n  " "" names "${names}")
list(GET names 0 first)
if(NOT first)
  message(FATAL_ERROR "no subcommands in vnk --help")
endif()

roff_escape("${main}" main_text)
set(page ".TH VNK 1 \"December 2026\" \"Varnok ${VERSION}\" \"User Commands\"
.SH NAME
vnk \\- list, convert, assemble and run Varnok configurations
.SH SYNOPSIS
.B vnk
.I SUBCOMMAND
.RI [ OPTIONS ]
.SH DESCRIPTION
.B vnk
works on the configuration files of
.BR varnokc (1)
from the command line, with the editor's own core.
.PP
.nf
${main_text}
.fi
.SH SUBCOMMANDS
")
foreach(name IN LISTS names)
  help_of(sub ${name})
  roff_escape("${sub}" sub_text)
  string(APPEND page ".SS ${name}\n.nf\n${sub_text}\n.fi\n")
endforeach()
string(APPEND page ".SH EXIT STATUS
0 on success, 1 when a command fails (the reason is on standard error), 2 for
a usage error.
.SH SEE ALSO
.BR varnokc (1),
.BR varnok (1)
")
file(WRITE ${OUT} "${page}")
