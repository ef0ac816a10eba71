# The plug-in library loaded by a test host. The stop event "Exit_MathFlow"
# and the list files in the root of drive c: are shared by the session.
orvex_gtest(orvex_dll_tests LOCK
  orvex/OrvexHostFixture.cpp
  orvex/PluginInterfaceTest.cpp
  orvex/PluginPagesTest.cpp
  orvex/PluginDesktopTest.cpp
  orvex/HostileCallsTest.cpp
  orvex/ListImageTest.cpp
  orvex/SameBitsTest.cpp
)
target_include_directories(orvex_dll_tests PRIVATE ${CMAKE_SOURCE_DIR}/plugin/interface)
target_link_libraries(orvex_dll_tests PRIVATE import_redirect)
add_dependencies(orvex_dll_tests Orvex_DLL)
