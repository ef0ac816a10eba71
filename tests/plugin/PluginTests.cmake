# Plug-in core: store, list files, dynamics, report.
orvex_gtest(plugin_tests
  plugin/store/GoodsStoreTest.cpp
  plugin/store/ListFilesTest.cpp
  plugin/store/DynamicsTest.cpp
  plugin/store/DynamicsReportTest.cpp
  plugin/window/IdTextTest.cpp
  plugin/window/ListOrderTest.cpp
  support/RegistryPluginSize.cpp
)
# The identifier cells and the lists' order (plugin/window) need no window either.
target_link_libraries(plugin_tests PRIVATE orvex_core orvex_window)

# The drive-root list file names are shared by every process of the test run
# (like the stop event: LOCK, see orvex_gtest).
orvex_gtest(plugin_root_tests LOCK
  plugin/store/ListFilesRootTest.cpp
  support/RegistryPluginSize.cpp
)
target_link_libraries(plugin_root_tests PRIVATE orvex_core)
