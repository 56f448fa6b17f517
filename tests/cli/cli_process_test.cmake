# zenfaro-cli as its own process: text beyond ASCII reaches it exactly, and `show --raw` writes the stored bytes.
# Run with -DCLI=<zenfaro-cli> -DEMULATOR=<a cross build's runner, or nothing> -DVERSION=<version> -DWORK=<scratch>.
set(folder "${WORK}/dossier é")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${folder}")

# Runs zenfaro-cli with ARGN; fails unless it exits with `status` and its standard output matches `pattern`.
function(expect status pattern)
  execute_process(COMMAND ${EMULATOR} "${CLI}" ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result STREQUAL status OR NOT out MATCHES "${pattern}")
    message(FATAL_ERROR "zenfaro-cli ${ARGN}\nexit: ${result} (expected ${status})\n"
                        "standard output: ${out}\nstandard error: ${err}")
  endif()
endfunction()

expect(0 "^zenfaro-cli ${VERSION}\n$" --version)
expect(0 "" -C "${folder}" add 1 lines "café €")
expect(0 "exported to .*sortie é\\.CMX" -C "${folder}" export "sortie é.CMX")
expect(0 "Imported .*sortie é\\.CMX" -C "${folder}" import "sortie é.CMX" --yes)
expect(0 "folder: .*dossier é\n.*records: 1\n" -C "${folder}" info)
expect(0 "café €" -C "${folder}" show 1)

# The stored form byte for byte: Windows-1252, CR LF line ends.
execute_process(COMMAND ${EMULATOR} "${CLI}" -C "${folder}" show 1 --raw
                RESULT_VARIABLE result OUTPUT_FILE "${WORK}/raw")
file(READ "${WORK}/raw" raw HEX)
# " 0 \r\n" " 0 \r\n" " 1 \r\n" "caf\xE9 \x80\r\n"
set(expected "2030200d0a2030200d0a2031200d0a636166e920800d0a")
if(NOT result STREQUAL "0" OR NOT raw STREQUAL expected)
  message(FATAL_ERROR "show 1 --raw: exit ${result}, bytes ${raw}, expected ${expected}")
endif()
