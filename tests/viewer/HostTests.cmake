# The stand-in host OrvexHost.exe run against good and bad tables. These tests
# have a Wine prefix of their own: the host signals the named stop event, the
# plug-in saves its list files to the root of drive c: and opens its report
# through the ".html" association, and none of that may meet the other tests.
# Its top-level window lies over the display the desktop tests point at.
if(TARGET Orvex_DLL AND TARGET OrvexHost)
  # A converter that says and ends as it is told: every exit code's box.
  add_executable(host_fake_converter viewer/FakeConverter.cpp)
  # The viewer's own reading of numbers and dates is linked in; the rest runs
  # the real OrvexHost.exe.
  add_executable(host_tests viewer/HostTest.cpp viewer/HostFeedTest.cpp viewer/HostRun.cpp viewer/ViewerTest.cpp viewer/HostReadingTest.cpp
    ${CMAKE_SOURCE_DIR}/viewer/HostTables.cpp ${CMAKE_SOURCE_DIR}/viewer/MovesFeed.cpp
    ${CMAKE_SOURCE_DIR}/viewer/HostCommon.cpp)
  target_link_libraries(host_tests PRIVATE cwin_system gtest_main advapi32 user32 psapi orvex_version zorb_rows)
  target_include_directories(host_tests PRIVATE ${CMAKE_SOURCE_DIR}/viewer ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/plugin/interface)
  set_target_properties(host_tests PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${CMAKE_BINARY_DIR}/wine-host")
  add_dependencies(host_tests OrvexHost Orvex_DLL fromZORB host_fake_converter)
  gtest_discover_tests(host_tests
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 180 RESOURCE_LOCK "desktop;host_prefix")
endif()

# The shipped 32-bit host: machine type and system imports only.
if(ORVEX_I686_DIR)
  add_test(NAME static.OrvexHost_i686
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-pe.sh ${ORVEX_I686_DIR}/bin/OrvexHost.exe i386)
endif()
