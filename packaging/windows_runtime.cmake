# What windeployqt would put beside the editor, for a cross build, which has
# no windeployqt (it runs on Windows only): Qt's libraries, the plug-ins a
# Widgets program loads (the Windows platform, the styles and the image
# formats) and MinGW's runtime libraries, which the programs share with Qt's.

foreach(library Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt6::${library}> DESTINATION .)
endforeach()

# Qt's plug-ins of a type, as Qt's CMake files name them for each module.
function(zenfaro_qt_plugins module type out)
  get_target_property(names Qt6::${module} QT_PLUGINS)
  set(found "")
  foreach(name IN LISTS names)
    if(TARGET Qt6::${name})
      get_target_property(plugin_type Qt6::${name} QT_PLUGIN_TYPE)
      if(plugin_type STREQUAL type)
        list(APPEND found Qt6::${name})
      endif()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

zenfaro_qt_plugins(Gui imageformats image_formats)
zenfaro_qt_plugins(Widgets styles styles)
foreach(plugin Qt6::QWindowsIntegrationPlugin ${image_formats} ${styles})
  if(NOT TARGET ${plugin})
    message(FATAL_ERROR "Qt's plug-in ${plugin} was not found; the editor cannot start without it.")
  endif()
  get_target_property(type ${plugin} QT_PLUGIN_TYPE)
  install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${type})
endforeach()

# The compiler finds its own runtime libraries.
foreach(library libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where its ${library} is.")
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()

# Every program and library of the folder without its symbol tables, as Qt's
# own Windows kits ship them (MinGW's runtime from Debian carries its debug
# information): the folder shrinks from 59 MB to 27 MB.
install(CODE "
  file(GLOB_RECURSE binaries \"\${CMAKE_INSTALL_PREFIX}/*.dll\" \"\${CMAKE_INSTALL_PREFIX}/*.exe\")
  foreach(binary IN LISTS binaries)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${binary}\" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR \"\${binary} could not be stripped.\")
    endif()
  endforeach()")
