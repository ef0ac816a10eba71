# Window framework with real windows under Xvfb: object model and routing,
# factory and table, basic controls, drawing surface, range controls, frame.
orvex_gtest(framework_tests
  cwin/FrameworkFixture.cpp
  cwin/window/WindowModelTest.cpp
  cwin/frame/RoutingTest.cpp
  cwin/frame/FactoryTest.cpp
  cwin/controls/BasicControlsTest.cpp
  cwin/controls/CustomTest.cpp
  cwin/controls/RangeControlsTest.cpp
  cwin/frame/AppFrameTest.cpp
  cwin/composite/CompositeRoutingTest.cpp
  cwin/composite/ListViewTest.cpp
  cwin/composite/ListViewCommandsTest.cpp
  cwin/composite/TControlTest.cpp
  cwin/FrameworkTest.rc
  support/RegistryPluginSize.cpp
)

# The chart, the tree view, the bars and the MDI client, each a program of its own.
orvex_gtest(graph_tests
  cwin/FrameworkFixture.cpp
  cwin/controls/GraphTest.cpp
  cwin/controls/DrawingObjectsTest.cpp
  support/RegistryPluginSize.cpp
)
# The drawing-objects tests count what the chart and the surface make at the
# program's own GDI imports.
target_link_libraries(graph_tests PRIVATE import_redirect)
orvex_gtest(treeview_tests
  cwin/FrameworkFixture.cpp
  cwin/composite/TreeViewTest.cpp
  support/RegistryPluginSize.cpp
)
orvex_gtest(bars_tests
  cwin/FrameworkFixture.cpp
  cwin/composite/BarsTest.cpp
  cwin/BarsTest.rc
  cwin/composite/MDITest.cpp
  support/RegistryPluginSize.cpp
)

# The layer folders' tests reach the shared fixture by its bare name.
foreach(program framework_tests graph_tests treeview_tests bars_tests)
  target_include_directories(${program} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/cwin)
endforeach()
