# Plug-in core: store, list files, dynamics, report, workers.
orvex_gtest(plugin_tests
  plugin/GoodsStoreTest.cpp
  plugin/ListFilesTest.cpp
  plugin/DynamicsTest.cpp
  plugin/DynamicsReportTest.cpp
  support/RegistryPluginSize.cpp
)
target_link_libraries(plugin_tests PRIVATE orvex_core)

# The drive-root list file names are shared by every process of the test run
# (like the stop event: LOCK, see orvex_gtest).
orvex_gtest(plugin_root_tests LOCK
  plugin/ListFilesRootTest.cpp
  support/RegistryPluginSize.cpp
)
target_link_libraries(plugin_root_tests PRIVATE orvex_core)

# Workers, and unloading a library whose workers run. The stop event is named,
# so every process of the session shares it.
add_library(worker_library SHARED plugin/WorkerLibrary.cpp)
target_link_libraries(worker_library PRIVATE cwin)
set_target_properties(worker_library PROPERTIES PREFIX "")
orvex_gtest(worker_tests LOCK
  plugin/WorkerTest.cpp
  support/RegistryPluginSize.cpp
)
add_dependencies(worker_tests worker_library)
