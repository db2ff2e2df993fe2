# End-to-end tests of Devtune: the real Devtune.exe driven from the test process, with the
# stand-in kernel and USB link component in the test. They share the registry keys, event
# names and kernel pipe with Devtune's unit tests, hence the second lock.
set(devtune_e2e_sources
  e2e/devtune_cable_e2e.cpp
  e2e/devtune_frame_e2e.cpp
  e2e/devtune_mode_e2e.cpp
  e2e/devtune_sheet_driver.cpp
  ${PROJECT_SOURCE_DIR}/devtune/tests/registry_helpers.cpp)
add_e2e_test(devtune_e2e SOURCES ${devtune_e2e_sources} PROGRAMS devtune)
target_include_directories(devtune_e2e PRIVATE ${PROJECT_SOURCE_DIR}/devtune/tests)
target_link_libraries(devtune_e2e PRIVATE comctl32)
set_tests_properties(devtune_e2e PROPERTIES RESOURCE_LOCK "bench;devtune_host" TIMEOUT 600)
