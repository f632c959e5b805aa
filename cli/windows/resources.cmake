# fotolun-cli.exe's manifest, version and icon, compiled by windres into the program.
set(FOTOLUN_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
set(FOTOLUN_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
set(FOTOLUN_WINDOWS_DIR ${CMAKE_CURRENT_BINARY_DIR}/windows)
configure_file(windows/fotolun-cli.manifest ${FOTOLUN_WINDOWS_DIR}/fotolun-cli.manifest @ONLY)
set(FOTOLUN_MANIFEST ${FOTOLUN_WINDOWS_DIR}/fotolun-cli.manifest)

# The icon is drawn once, as the SVG of data/; without the renderer the program goes without it.
find_program(RSVG_CONVERT rsvg-convert)
set(FOTOLUN_ICON_SVG ${CMAKE_SOURCE_DIR}/data/icons/org.fotolun.Fotolun.svg)
set(FOTOLUN_ICON ${FOTOLUN_WINDOWS_DIR}/fotolun.ico)
set(FOTOLUN_ICON_LINE "")
set(FOTOLUN_RC_DEPENDS ${FOTOLUN_MANIFEST})
if(RSVG_CONVERT)
  add_custom_command(OUTPUT ${FOTOLUN_ICON}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/svg-to-ico.sh ${FOTOLUN_ICON_SVG} ${FOTOLUN_ICON}
    DEPENDS ${FOTOLUN_ICON_SVG} ${CMAKE_CURRENT_SOURCE_DIR}/windows/svg-to-ico.sh VERBATIM)
  set(FOTOLUN_ICON_LINE "1 ICON \"${FOTOLUN_ICON}\"")
  list(APPEND FOTOLUN_RC_DEPENDS ${FOTOLUN_ICON})
else()
  message(WARNING "rsvg-convert not found: fotolun-cli.exe gets no icon")
endif()
configure_file(windows/fotolun-cli.rc.in ${FOTOLUN_WINDOWS_DIR}/fotolun-cli.rc @ONLY)
set_source_files_properties(${FOTOLUN_WINDOWS_DIR}/fotolun-cli.rc PROPERTIES OBJECT_DEPENDS
                            "${FOTOLUN_RC_DEPENDS}")
target_sources(fotolun-cli PRIVATE ${FOTOLUN_WINDOWS_DIR}/fotolun-cli.rc)
