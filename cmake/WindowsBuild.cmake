# The Windows build, driven from the host build: it imports the host tools
# that this build exports, and ctest here runs its tests as well.
include(ExternalProject)

get_property(host_tools GLOBAL PROPERTY ZANVO_HOST_TOOLS)
set(host_tools_file ${CMAKE_BINARY_DIR}/host-tools.cmake)
export(TARGETS ${host_tools} NAMESPACE host:: FILE ${host_tools_file})

set(windows_binary_dir ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${windows_binary_dir}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DHOST_TOOLS_FILE=${host_tools_file}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  DEPENDS ${host_tools}
  USES_TERMINAL_BUILD ON)

file(WRITE ${CMAKE_BINARY_DIR}/windows-tests.cmake
  "if(EXISTS \"${windows_binary_dir}/CTestTestfile.cmake\")\n  subdirs(\"${windows_binary_dir}\")\nendif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/windows-tests.cmake)
