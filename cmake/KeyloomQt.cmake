# Programs linked with Qt, and on Windows the DLLs they need beside them.

# keyloom_qt_program(target [GUI]): marks a program linked with Qt. On Windows it uses the MinGW
# runtime DLLs that Qt's DLLs use (one C++ runtime in the process), finds Qt's DLLs and plugins
# beside itself, and as GUI it is a windowed program that opens no console.
function(keyloom_qt_program target)
  set_target_properties(${target} PROPERTIES KEYLOOM_QT_PROGRAM ON)
  if("GUI" IN_LIST ARGN)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  if(WIN32)
    get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(folder STREQUAL "${CMAKE_BINARY_DIR}/bin")
      add_dependencies(${target} keyloom_qt_dlls)
    else()
      add_dependencies(${target} keyloom_qt_test_dlls)
    endif()
  endif()
endfunction()

# keyloom_windows_resources(target DESCRIPTION): the program icon and the version information
# ("1.60") in a Windows program. The icon is drawn at build time (packaging/).
function(keyloom_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(KEYLOOM_RC_NAME ${target})
  set(KEYLOOM_RC_DESCRIPTION ${description})
  set(KEYLOOM_RC_ICON ${KEYLOOM_WINDOWS_ICON})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows-resources.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${KEYLOOM_WINDOWS_ICON})
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} icons)
endfunction()

if(NOT WIN32)
  return()
endif()

# The MinGW runtime DLLs where the compiler finds them.
set(keyloom_runtime_dlls)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
  endif()
  get_filename_component(path "${path}" REALPATH)
  list(APPEND keyloom_runtime_dlls ${path})
endforeach()

# keyloom_copy_qt_dlls(target folder [STRIP] LIBRARIES... PLUGINS...): a target that places the
# named Qt libraries, the MinGW runtime and the named plugins (in their platforms/ or styles/
# subfolders) in folder; with STRIP without their symbol tables, which a user's copy does not need
# and which make up half of their size.
function(keyloom_copy_qt_dlls name folder)
  cmake_parse_arguments(COPY "STRIP" "" "LIBRARIES;PLUGINS" ${ARGN})
  set(outputs)
  # Copies source into folder/subfolder whenever the source changes.
  macro(keyloom_place_file source subfolder)
    get_filename_component(file_name ${source} NAME)
    set(output ${folder}/${subfolder}/${file_name})
    set(strip)
    if(COPY_STRIP)
      set(strip COMMAND ${CMAKE_STRIP} --strip-unneeded ${output})
    endif()
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/${subfolder}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
      ${strip}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND outputs ${output})
  endmacro()
  # The file of an imported Qt target, known at configure time (Qt is built as Release).
  macro(keyloom_imported_file target)
    get_target_property(file ${target} IMPORTED_LOCATION_RELEASE)
    if(NOT file)
      get_target_property(file ${target} IMPORTED_LOCATION)
    endif()
  endmacro()

  foreach(dll ${keyloom_runtime_dlls})
    keyloom_place_file(${dll} .)
  endforeach()
  foreach(library ${COPY_LIBRARIES})
    keyloom_imported_file(${library})
    keyloom_place_file(${file} .)
  endforeach()
  foreach(plugin ${COPY_PLUGINS})
    keyloom_imported_file(${plugin})
    get_target_property(type ${plugin} QT_PLUGIN_TYPE)
    keyloom_place_file(${file} ${type})
  endforeach()

  # Qt's DLLs remember the prefix they were built for; qt.conf points them at their own folder
  # instead, so that a copy never picks a plugin up from the build machine.
  add_custom_command(OUTPUT ${folder}/qt.conf
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/cmake/qt.conf ${folder}/qt.conf
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/qt.conf
    VERBATIM)
  add_custom_target(${name} DEPENDS ${outputs} ${folder}/qt.conf COMMENT "Placing Qt's DLLs in ${folder}")
endfunction()

# What a user's copy needs: the Windows platform and its native style, and the minimal platform
# that vkxx-print draws on.
keyloom_copy_qt_dlls(keyloom_qt_dlls ${CMAKE_BINARY_DIR}/bin STRIP
  LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets
  PLUGINS Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin Qt6::QMinimalIntegrationPlugin)
# Tests run offscreen and use QTest.
keyloom_copy_qt_dlls(keyloom_qt_test_dlls ${CMAKE_BINARY_DIR}/tests/bin
  LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Test
  PLUGINS Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin Qt6::QOffscreenIntegrationPlugin)
