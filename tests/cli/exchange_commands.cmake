# zenfaro-cli's export, import and check, run as a user runs them: exit
# statuses, messages and the files they leave.
#   cmake -DCLI=path/to/zenfaro-cli -DDIR=scratch/folder -P exchange_commands.cmake
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
file(WRITE "${DIR}/no" "n\n")

# Runs zenfaro-cli in DIR with standard input from DIR/no; fails unless it
# exits with `expected`. Leaves its output in `out` and `err`.
function(cli expected)
  execute_process(COMMAND "${CLI}" -C "${DIR}" ${ARGN}
                  INPUT_FILE "${DIR}/no" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "zenfaro-cli ${ARGN}: exit ${status}, expected ${expected}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect text pattern)
  if(NOT "${text}" MATCHES "${pattern}")
    message(FATAL_ERROR "expected /${pattern}/ in:\n${text}")
  endif()
endfunction()

cli(0 add 1 triggers goal)
cli(0 add 1 lines "What a strike")

cli(0 export out.CMX)
expect("${out}" "^1 commentary entries were exported to .*out\\.CMX\\.\n$")
cli(1 export out.CMX)
expect("${err}" "--force")
cli(0 export out.CMX --force)
cli(1 export commdb.dat --force)
expect("${err}" "commdb\\.dat")
cli(2 export)

file(WRITE "${DIR}/more.CMX" "[Version]\r\nHandler=ZENFARO.EXE\r\nExportFileVersion=99\r\n\r\n[Exported Commentary]\r\n 1 \r\n 1 \r\ngoal\r\n 0 \r\n 1 \r\nAnd it's in\r\n")
file(READ "${DIR}/commdb.dat" before)
cli(1 import more.CMX)
expect("${out}" "1 extending stored records")
expect("${out}" "Are you sure you want to import 1 records \\?")
file(READ "${DIR}/commdb.dat" after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "a declined import changed commdb.dat")
endif()

cli(0 import more.CMX --yes)
expect("${out}" "the database now holds 1 records")
cli(0 show 1)
expect("${out}" "What a strike.*And it's in")
cli(0 check)
expect("${out}" "match: 1 records")

cli(1 import missing.CMX --yes)
expect("${err}" "Not a commentary file\\.")

file(APPEND "${DIR}/commdb.dat" " 0 \r\n 0 \r\n 0 \r\n")
cli(1 check)
expect("${err}" "record 2 starts at byte")
