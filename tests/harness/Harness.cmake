# The Windows test harness: one headless X server, one Wine prefix under the
# build folder and one persistent wineserver for the whole ctest run.
# Every Windows program that ctest runs goes through wine-run.
set(WINE_HARNESS_DIR ${CMAKE_BINARY_DIR}/wine)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

add_executable(keep_desktop WIN32 ${CMAKE_CURRENT_LIST_DIR}/keep_desktop.cpp)
target_link_options(keep_desktop PRIVATE -municode)
target_link_libraries(keep_desktop PRIVATE shell32)
target_compile_options(keep_desktop PRIVATE -Wall -Wextra)

add_test(NAME harness.start
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/start.sh ${WINE_HARNESS_DIR} $<TARGET_FILE:keep_desktop>)
set_tests_properties(harness.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 900 LABELS windows)
add_test(NAME harness.stop
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/stop.sh ${WINE_HARNESS_DIR})
set_tests_properties(harness.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120 LABELS windows)

# GoogleTest for programs under Wine (wine_gtest.h), with or without a main.
add_library(wine_gtest STATIC ${CMAKE_CURRENT_LIST_DIR}/wine_gtest.cpp)
target_include_directories(wine_gtest PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(wine_gtest PUBLIC gtest)
target_compile_options(wine_gtest PRIVATE -Wall -Wextra)
add_library(wine_gtest_main STATIC ${CMAKE_CURRENT_LIST_DIR}/wine_gtest_main.cpp)
target_link_libraries(wine_gtest_main PUBLIC wine_gtest)
