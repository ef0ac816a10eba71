# The plug-in library loaded by a test host. The stop event "Exit_MathFlow"
# and the list files in the root of drive c: are shared by the session.
orvex_gtest(orvex_dll_tests LOCK
  plugin/interface/OrvexHostFixture.cpp
  plugin/interface/PluginInterfaceTest.cpp
  plugin/window/PluginPagesTest.cpp
  plugin/window/PluginDesktopTest.cpp
  plugin/window/PluginListsTest.cpp
  plugin/interface/HostileCallsTest.cpp
  plugin/interface/ListImageTest.cpp
  plugin/interface/SameBitsTest.cpp
)
# The window tests reach the host fixture by its bare name.
target_include_directories(orvex_dll_tests PRIVATE ${CMAKE_SOURCE_DIR}/plugin/interface
  ${CMAKE_CURRENT_SOURCE_DIR}/plugin/interface)
target_link_libraries(orvex_dll_tests PRIVATE import_redirect)
add_dependencies(orvex_dll_tests Orvex_DLL)
