# End-to-end tests of Devtune: the real Devtune.exe driven from the test process, with the
# stand-in kernel and USB link component in the test. They share the registry keys, event
# names and kernel pipe with Devtune's unit tests, hence the second lock.
# The sheet driver is shared with the tour of scripts/run.
add_library(devtune_driver STATIC e2e/devtune_sheet_driver.cpp
                                  ${PROJECT_SOURCE_DIR}/devtune/tests/registry_helpers.cpp)
target_include_directories(devtune_driver PUBLIC e2e ${PROJECT_SOURCE_DIR}/devtune/tests)
target_link_libraries(devtune_driver PUBLIC e2e_support standins comctl32 GTest::gtest)
target_project_warnings(devtune_driver)

set(devtune_e2e_sources
  e2e/devtune_cable_e2e.cpp
  e2e/devtune_frame_e2e.cpp
  e2e/devtune_mode_e2e.cpp)
add_e2e_test(devtune_e2e SOURCES ${devtune_e2e_sources} PROGRAMS devtune)
target_link_libraries(devtune_e2e PRIVATE devtune_driver)
set_tests_properties(devtune_e2e PROPERTIES RESOURCE_LOCK "bench;devtune_host" TIMEOUT 600)
