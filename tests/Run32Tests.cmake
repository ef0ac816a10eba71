# The i686 test programs, run under 32-bit Wine through scripts/run32 (user-mode
# emulation: a Wine start costs seconds, the code runs 4-8 times slower). One run
# per program with a filter of the tests that need 32 bits: the shipped converter
# end to end, the record layouts and list-file images, the host-facing interface
# called as a 32-bit host calls it. Every test here has the label "run32".
set(ORVEX_X86_64_DIR "" CACHE PATH "Build tree of the x86_64 tests, for comparing list files")
set(run32_gtest ${CMAKE_SOURCE_DIR}/scripts/run32/run-gtest.sh)

add_custom_target(run32_programs ALL)

# run32_gtest(program filter [DISPLAY]): one test "run32.<program>".
function(run32_gtest program filter)
  add_dependencies(run32_programs ${program})
  add_test(NAME run32.${program}
    COMMAND bash ${run32_gtest} ${CMAKE_SOURCE_DIR} $<TARGET_FILE:${program}> --gtest_filter=${filter})
  # One emulated Wine at a time: the 32-bit prefix and its wineserver are shared.
  set_tests_properties(run32.${program} PROPERTIES LABELS run32 TIMEOUT 900 RESOURCE_LOCK run32)
endfunction()

# The runner itself: faults reach Windows code as they would on Windows.
orvex_gtest(run32_probe_tests run32/EmulationTest.cpp)
run32_gtest(run32_probe_tests "Faults.*")

# fromZORB.exe end to end and its kept outputs byte for byte; number formatting
# (the 32-bit build's own arithmetic); the report's markers found by word-wide
# scans at every alignment the 32-bit heap gives.
run32_gtest(converter_tests "FromZorb.*:PinnedOutput.*:SampleReport.*:Numbers.*:GoodsListForms.*:ReportTable.*")
# Record layouts and list-file byte images.
run32_gtest(plugin_tests "ListFilesTest.*:GoodsStore*:GoodsFigures.*:FormatIdentifier.*:StoreLookups.*")
run32_gtest(plugin_root_tests "ListFilesAtTheDriveRoot.*")
# The real Orvex_DLL.dll through its twelve operations (thiscall, doubles by
# value, one-byte results), loaded, attached, fed, read back, saved, unloaded.
run32_gtest(orvex_dll_tests "Interface.*:Lifetime.*:ListImage.*:CrossBuildValues.*:FloatState.*:Cycles.EverythingALoadMakesIsFreedOnceWhenTheLibraryGoes:Pages.SavedListsComeBackWhenTheLibraryIsLoadedAgain:Pages.TheListFilesInTheCurrentFolderAreLoadedWithTheirRowIcons")

# The same calls give byte-identical list files and reports in both builds.
if(ORVEX_X86_64_DIR)
  add_test(NAME run32.list_files_match_x86_64
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/run32/compare-list-files.sh ${CMAKE_SOURCE_DIR}
            ${ORVEX_X86_64_DIR}/bin/orvex_dll_tests.exe $<TARGET_FILE:orvex_dll_tests>
            ${CMAKE_BINARY_DIR}/list-images)
  set_tests_properties(run32.list_files_match_x86_64 PROPERTIES LABELS run32 TIMEOUT 600 RESOURCE_LOCK run32)
  # fromZORB.exe on a generated report of thousands of awkward products: the
  # same console texts and tables as the x86_64 build's.
  add_dependencies(run32_programs fromZORB)
  add_test(NAME run32.converter_matches_x86_64
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/run32/compare-converter.sh ${CMAKE_SOURCE_DIR}
            ${ORVEX_X86_64_DIR}/bin $<TARGET_FILE:fromZORB> ${CMAKE_BINARY_DIR}/converter-outputs)
  set_tests_properties(run32.converter_matches_x86_64 PROPERTIES LABELS run32 TIMEOUT 600 RESOURCE_LOCK run32)
endif()

# The release packages: reproducible, the zip unpacked and used, the installer
# and the uninstaller run silently in a fresh prefix.
add_test(NAME run32.package
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/package-test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
          ${CMAKE_BINARY_DIR}/package-test)
set_tests_properties(run32.package PROPERTIES LABELS run32 TIMEOUT 900 RESOURCE_LOCK run32)
