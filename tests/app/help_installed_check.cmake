# An installation puts the help text where the editor looks for it when the
# working folder has none: FROM_PROGRAMS seen from the programs' folder,
# byte for byte the source.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/prefix
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The installation failed: ${errors}")
endif()
set(installed ${WORK}/prefix/${PROGRAMS}/${FROM_PROGRAMS}/cmthelp.txt)
if(NOT EXISTS ${installed})
  message(FATAL_ERROR "No help text at ${installed}")
endif()
file(READ ${installed} got HEX)
file(READ ${SOURCE} wanted HEX)
if(NOT got STREQUAL wanted)
  message(FATAL_ERROR "${installed} differs from ${SOURCE}")
endif()
file(REMOVE_RECURSE ${WORK})
