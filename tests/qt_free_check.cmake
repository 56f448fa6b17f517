# Fails when a file of core/, exchange/ or ui/model/ includes a Qt header or names a Qt type: those folders
# build without Qt, for the command-line tool, the format tests and the Windows check.
file(GLOB_RECURSE files ${ROOT}/core/* ${ROOT}/exchange/* ${ROOT}/ui/model/*)
set(offenders "")
foreach(file IN LISTS files)
  file(STRINGS ${file} hits REGEX "#include *[<\"](Q|Qt)[A-Za-z]*|Qt6::|\\bQString\\b|\\bQObject\\b")
  if(hits)
    list(APPEND offenders "${file}: ${hits}")
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" offenders "${offenders}")
  message(FATAL_ERROR "Qt in a Qt-free folder:\n${offenders}")
endif()
