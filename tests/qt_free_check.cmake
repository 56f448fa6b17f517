# Fails when a file of a folder that builds without Qt (core/, exchange/, editor/, cli/) includes a Qt header or
# names a Qt type.
file(GLOB_RECURSE files ${ROOT}/core/* ${ROOT}/exchange/* ${ROOT}/editor/* ${ROOT}/cli/*)
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
