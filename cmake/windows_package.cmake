# `cmake --build build-windows --target windows-zip` makes fotolun-windows-x64.zip: one folder,
# Fotolun/, that runs where it is unpacked (the portable rule keeps its settings beside it), with
# the instructions and the licences of everything linked into the program.
set(FOTOLUN_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/fotolun-windows-x64.zip)
add_custom_target(windows-zip
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:fotolun-cli> -DSOURCE=${CMAKE_SOURCE_DIR}
          -DLICENSES=${FOTOLUN_WINDOWS_PREFIX}/licenses -DSTAGE=${CMAKE_BINARY_DIR}/zip
          -DZIP=${FOTOLUN_WINDOWS_ZIP} -P ${CMAKE_SOURCE_DIR}/cmake/windows_zip.cmake
  DEPENDS fotolun-cli
  BYPRODUCTS ${FOTOLUN_WINDOWS_ZIP}
  VERBATIM)
