# Writes a manual page from its template and the program's own --help, so
# the page names every command and option the program does.
#   cmake -DPROGRAM=... -DTEMPLATE=....1.in -DOUTPUT=....1 -DVERSION=... -DDATE=... -P ManPage.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()
# The help as roff in no-fill mode: backslashes and minus signs escaped, a
# line that starts with a control character made plain text.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(READ ${TEMPLATE} page)
string(REPLACE "@HELP@" "${help}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@DATE@" "${DATE}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
