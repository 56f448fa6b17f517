# The Windows folder to zip: the two programs, the help text and the licence,
# and with the editor everything it loads (Qt's libraries and plug-ins, the
# compiler's runtime). cpack makes zenfaro-VERSION-windows.zip of it.

install(TARGETS zenfaro-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
# The help text (ZENFARO_HELP_TEXT) beside the programs, where the editor
# finds it when the working folder has none.
install(FILES ${ZENFARO_HELP_TEXT} DESTINATION . RENAME cmthelp.txt)

if(ZENFARO_GUI)
  install(TARGETS zenfaro RUNTIME DESTINATION .)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  if(CMAKE_CROSSCOMPILING)
    include(${CMAKE_CURRENT_LIST_DIR}/windows_runtime.cmake)
  else()
    # windeployqt stands beside qmake, in Qt's installation or vcpkg's tools.
    get_target_property(qt_qmake Qt6::qmake IMPORTED_LOCATION)
    get_filename_component(qt_tools "${qt_qmake}" DIRECTORY)
    find_program(ZENFARO_WINDEPLOYQT windeployqt HINTS "${qt_tools}")
    if(NOT ZENFARO_WINDEPLOYQT)
      message(FATAL_ERROR "windeployqt was not found beside ${qt_qmake}; set ZENFARO_WINDEPLOYQT to it.")
    endif()
    install(CODE "
      execute_process(COMMAND \"${ZENFARO_WINDEPLOYQT}\" --no-translations --no-system-d3d-compiler
                              --no-opengl-sw \"\${CMAKE_INSTALL_PREFIX}/zenfaro.exe\"
                      RESULT_VARIABLE result)
      if(NOT result EQUAL 0)
        message(FATAL_ERROR \"windeployqt could not copy Qt's libraries beside zenfaro.exe.\")
      endif()")
    # The compiler's runtime libraries, for MSVC builds (windeployqt copies
    # MinGW's).
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
    include(InstallRequiredSystemLibraries)
  endif()
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME zenfaro-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
