# Runs the host program for one acceptance case and compares what it wrote with the expected
# transcript. Called by ctest as: cmake -D... -P RunCase.cmake
#   CADHOST   the host program        MODULE    the test module     QUORVELLE  the real module
#   WORK      a folder of the case's own (emptied first; drive C: is WORK/home)
#   ARGS      the program's arguments (a list); <module>, <quorvelle>, <home>, <work> and
#             <source> are replaced
#   COPY      files put in place first (a list of "FROM>TO": FROM below this folder, TO below
#             WORK/home, which is drive C:)
#   INPUT     a file fed to standard input (optional)
#   FILES     paths below WORK whose content follows the transcript, each after a line
#             "--- file PATH ---" (line ends as "\n"), or "--- no file PATH ---" (optional)
#   EXPECTED  the expected transcript   EXIT      the expected exit code
# The transcript is standard output, then, when there is any, "--- stderr ---" and standard
# error. Paths of WORK, of the source folder and of the modules are written as <work>, <source>,
# <module> and <quorvelle> (POSIX and Windows forms alike), so the expectation holds on every
# machine. On a difference the actual transcript is left in WORK/actual.txt.
cmake_minimum_required(VERSION 3.25)

# Several COPY or FILES items reach this script with their separators escaped.
string(REPLACE "\\;" ";" COPY "${COPY}")
string(REPLACE "\\;" ";" FILES "${FILES}")

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/home")
get_filename_component(SOURCE "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)

foreach(pair IN LISTS COPY)
  string(REPLACE ">" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  get_filename_component(folder "${WORK}/home/${to}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${SOURCE}/${from}" "${WORK}/home/${to}")
endforeach()

set(args)
foreach(arg IN LISTS ARGS)
  string(REPLACE "<module>" "${MODULE}" arg "${arg}")
  string(REPLACE "<quorvelle>" "${QUORVELLE}" arg "${arg}")
  string(REPLACE "<home>" "${WORK}/home" arg "${arg}")
  string(REPLACE "<work>" "${WORK}" arg "${arg}")
  string(REPLACE "<source>" "${SOURCE}" arg "${arg}")
  list(APPEND args "${arg}")
endforeach()

set(input_option)
if(INPUT)
  set(input_option INPUT_FILE "${SOURCE}/${INPUT}")
endif()
execute_process(COMMAND "${CADHOST}" ${args}
                WORKING_DIRECTORY "${WORK}"
                ${input_option}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)

set(actual "${out}")
if(NOT err STREQUAL "")
  string(APPEND actual "--- stderr ---\n${err}")
endif()
foreach(shown IN LISTS FILES)
  if(EXISTS "${WORK}/${shown}")
    file(READ "${WORK}/${shown}" content)
    string(REPLACE "\r\n" "\n" content "${content}")
    string(APPEND actual "--- file ${shown} ---\n${content}")
  else()
    string(APPEND actual "--- no file ${shown} ---\n")
  endif()
endforeach()

# A POSIX path and its Windows form (Z: and backslashes) both become the placeholder.
function(neutral text path placeholder result)
  string(REPLACE "/" "\\" windows "Z:${path}")
  string(REPLACE "${windows}" "${placeholder}" text "${text}")
  string(REPLACE "${path}" "${placeholder}" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()
neutral("${actual}" "${MODULE}" "<module>" actual)
neutral("${actual}" "${QUORVELLE}" "<quorvelle>" actual)
neutral("${actual}" "${WORK}" "<work>" actual)
neutral("${actual}" "${SOURCE}" "<source>" actual)

file(READ "${EXPECTED}" expected)
if(NOT actual STREQUAL expected OR NOT code STREQUAL EXIT)
  file(WRITE "${WORK}/actual.txt" "${actual}")
  execute_process(COMMAND diff -u "${EXPECTED}" "${WORK}/actual.txt" OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "exit code ${code} (expected ${EXIT}); transcript left in "
                      "${WORK}/actual.txt\n${difference}")
endif()
