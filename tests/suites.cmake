# Run after a test program is built: asks it for its suites and writes one
# ctest entry per suite into OUT, so that each shows by name and time.
#   EXE      the test program
#   KIND     gtest (suites from --gtest_list_tests) or qt (classes from
#            --list-classes, chosen by NW_TEST_CLASS)
#   PREFIX   the entries are named PREFIX.Suite
#   STATE    a folder under which each entry keeps its own pass journals
#   DRIVES   suites that mount drives: labelled "drives"
#   OUT      the file to write
cmake_minimum_required(VERSION 3.16)
if(KIND STREQUAL "gtest")
  set(list_arg --gtest_list_tests)
else()
  set(list_arg --list-classes)
endif()
execute_process(COMMAND ${EXE} ${list_arg} OUTPUT_VARIABLE out RESULT_VARIABLE rc
                ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXE} ${list_arg} failed (${rc}): ${err}")
endif()
string(REPLACE "\n" ";" lines "${out}")
string(REPLACE "|" ";" drives "${DRIVES}")
# The suites first: a suite instantiated more than once ("Fat/KilledPasses",
# "Ntfs/KilledPasses") gives an entry per instantiation.
set(suites "")
set(shorts "")
foreach(line IN LISTS lines)
  if(KIND STREQUAL "gtest")
    # "Drives/KilledPasses.  # comment": a suite, its instantiation first.
    if(line MATCHES "^([A-Za-z0-9_/]+)\\.( |$)")
      list(APPEND suites "${CMAKE_MATCH_1}")
      string(REGEX REPLACE "^.*/" "" short "${CMAKE_MATCH_1}")
      list(APPEND shorts "${short}")
    endif()
  elseif(line MATCHES "^[A-Za-z0-9_]+$")
    list(APPEND suites "${line}")
    list(APPEND shorts "${line}")
  endif()
endforeach()
set(text "# Written by tests/suites.cmake from ${EXE} ${list_arg}.\n")
foreach(suite IN LISTS suites)
  string(REGEX REPLACE "^.*/" "" short "${suite}")
  set(again "${shorts}")
  list(FILTER again INCLUDE REGEX "^${short}$")
  list(LENGTH again times)
  set(name "${PREFIX}.${short}")
  if(times GREATER 1)
    string(REGEX REPLACE "/.*$" "" instance "${suite}")
    set(name "${name}.${instance}")
  endif()
  if(KIND STREQUAL "gtest")
    set(command "\"${EXE}\" \"--gtest_filter=${suite}.*\"")
    set(env "")
  else()
    set(command "\"${EXE}\"")
    set(env ";NW_TEST_CLASS=${short}")
  endif()
  string(APPEND text "add_test(\"${name}\" ${command})\n"
         "set_tests_properties(\"${name}\" PROPERTIES ENVIRONMENT "
         "\"\${NW_ENV_${PREFIX}}${env};XDG_STATE_HOME=${STATE}/${name}\" LABELS "
         "\"\${NW_LABELS_${PREFIX}}")
  if(short IN_LIST drives)
    string(APPEND text ";drives")
  endif()
  string(APPEND text "\")\n")
endforeach()
file(WRITE "${OUT}" "${text}")
