# qmx_add_test(NAME name SOURCES ... LIBRARIES ... [SESSION_BUS])
# One GoogleTest program, run by ctest headless: offscreen Qt platform, a
# private runtime folder, and a registry store of its own that no test shares
# with the user's, over a system store of its own too. SESSION_BUS runs it
# inside a private D-Bus session bus of its own (dbus-run-session).
find_program(QMX_DBUS_RUN_SESSION dbus-run-session)
function(qmx_add_test)
  cmake_parse_arguments(ARG "SESSION_BUS" "NAME;TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock GTest::gtest_main)
  if(ARG_SESSION_BUS)
    if(NOT QMX_DBUS_RUN_SESSION)
      message(FATAL_ERROR "dbus-run-session (package dbus) is needed for the test ${ARG_NAME}")
    endif()
    add_test(NAME ${ARG_NAME} COMMAND ${QMX_DBUS_RUN_SESSION} -- $<TARGET_FILE:${ARG_NAME}>)
  else()
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
  endif()
  set(runtime_dir ${CMAKE_BINARY_DIR}/test-runtime/${ARG_NAME})
  file(MAKE_DIRECTORY ${runtime_dir})
  # Qt insists on a runtime folder only its owner can enter.
  file(CHMOD ${runtime_dir} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${ARG_NAME} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${runtime_dir};QMX_REGISTRY=${runtime_dir}/registry.ini;QMX_SYSTEM_REGISTRY=${runtime_dir}/system-registry.ini;QMX_BUILD_LIB_DIR=${CMAKE_LIBRARY_OUTPUT_DIRECTORY};QMX_BUILD_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};TZ=Europe/Berlin;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
