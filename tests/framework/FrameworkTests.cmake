# Window framework with real windows under Xvfb: object model and routing,
# factory and table, basic controls, drawing surface, range controls, frame.
orvex_gtest(framework_tests
  framework/FrameworkFixture.cpp
  framework/WindowModelTest.cpp
  framework/FactoryTest.cpp
  framework/BasicControlsTest.cpp
  framework/CustomTest.cpp
  framework/RangeControlsTest.cpp
  framework/AppFrameTest.cpp
  framework/CompositeRoutingTest.cpp
  framework/ListViewTest.cpp
  framework/TControlTest.cpp
  framework/FrameworkTest.rc
  support/RegistryPluginSize.cpp
)

# The chart, the tree view, the bars and the MDI client, each a program of its own.
orvex_gtest(graph_tests
  framework/FrameworkFixture.cpp
  framework/GraphTest.cpp
  framework/DrawingObjectsTest.cpp
  support/RegistryPluginSize.cpp
)
# The drawing-objects tests count what the chart and the surface make at the
# program's own GDI imports.
target_link_libraries(graph_tests PRIVATE import_redirect)
orvex_gtest(treeview_tests
  framework/FrameworkFixture.cpp
  framework/TreeViewTest.cpp
  support/RegistryPluginSize.cpp
)
orvex_gtest(bars_tests
  framework/FrameworkFixture.cpp
  framework/BarsTest.cpp
  framework/BarsTest.rc
  framework/MDITest.cpp
  support/RegistryPluginSize.cpp
)
