# A host killed mid-save: the child host and the parent that kills it. The list
# files in c:\ and the stop event are the session's (LOCK, see orvex_gtest).
add_executable(orvex_save_child crash/SaveChild.cpp)
target_include_directories(orvex_save_child PRIVATE ${CMAKE_SOURCE_DIR}/plugin/interface)
target_link_libraries(orvex_save_child PRIVATE test_support)
orvex_gtest(crash_tests LOCK crash/SaveKillTest.cpp)
add_dependencies(crash_tests orvex_save_child Orvex_DLL)

# A real full disk (a small tmpfs mapped as a drive): fromZORB.exe and the list
# files. Needs root to mount; skipped (77) without.
add_executable(full_disk_lists crash/FullDiskLists.cpp support/RegistryPluginSize.cpp)
target_link_libraries(full_disk_lists PRIVATE test_support gtest_main orvex_core)
add_test(NAME crash.full_disk
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/crash/full-disk.sh $<TARGET_FILE_DIR:fromZORB> ${ORVEX_WINE_PREFIX})
set_tests_properties(crash.full_disk PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
add_dependencies(full_disk_lists fromZORB zorbgen)
