# Stages and zips the Windows folder; run by the windows-zip target of cmake/windows_package.cmake.
# CMake's zip writer marks non-ASCII names as UTF-8, so Explorer shows 使用说明.txt as it is.
file(REMOVE_RECURSE ${STAGE})
set(folder ${STAGE}/Fotolun)
file(MAKE_DIRECTORY ${folder}/licenses)
file(COPY ${PROGRAM} DESTINATION ${folder})
# Notepad and cmd read a text file with CRLF line ends best; the byte-order mark tells Notepad of
# older Windows that it is UTF-8 and not the ANSI code page.
string(ASCII 239 187 191 bom)
foreach(text 使用说明.txt)
  file(READ ${SOURCE}/docs/windows/${text} content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${folder}/${text} "${bom}${content}")
endforeach()
file(COPY ${SOURCE}/docs/windows/licenses/ DESTINATION ${folder}/licenses)
if(NOT IS_DIRECTORY ${LICENSES})
  message(FATAL_ERROR "no licences of the bundled libraries in ${LICENSES}")
endif()
file(COPY ${LICENSES}/ DESTINATION ${folder}/licenses)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip Fotolun
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${ZIP}")
