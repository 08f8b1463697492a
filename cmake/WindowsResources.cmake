# px520_windows_resources(<target> <description> [ICON])
# Gives a Windows program its version information and, with ICON, the
# application icon made from the PNGs in packaging/icons.
function(px520_windows_resources target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "ICON" "" "")
  set(PX520_RC_NAME ${target})
  set(PX520_RC_DESCRIPTION "${description}")
  set(PX520_RC_ICON "")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  if(arg_ICON)
    find_program(ICOTOOL icotool REQUIRED)
    set(icons ${PROJECT_SOURCE_DIR}/packaging/icons)
    set(pngs)
    foreach(size 16 32 48 64 128)
      list(APPEND pngs ${icons}/px520-${size}.png)
    endforeach()
    # The largest stays PNG inside the icon, as Windows reads it since Vista.
    set(large ${icons}/px520-256.png)
    set(ico ${CMAKE_CURRENT_BINARY_DIR}/${target}.ico)
    add_custom_command(OUTPUT ${ico} COMMAND ${ICOTOOL} -c -o ${ico} ${pngs} --raw=${large}
      DEPENDS ${pngs} ${large} VERBATIM)
    target_sources(${target} PRIVATE ${ico})
    # The resource compiler's inputs are not scanned for what they include.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ico})
    set(PX520_RC_ICON "1 ICON \"${ico}\"")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
