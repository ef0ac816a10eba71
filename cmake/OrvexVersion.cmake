# The one version of everything shipped: PROJECT_VERSION (the top-level
# project() call). It reaches the code through the generated OrvexVersion.h
# and each shipped program through a version resource.
set(ORVEX_COMPANY "Orvex")
set(ORVEX_COPYRIGHT "© 2026 Orvex")
set(ORVEX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/OrvexVersion.h.in ${ORVEX_GENERATED_DIR}/OrvexVersion.h @ONLY)
add_library(orvex_version INTERFACE)
target_include_directories(orvex_version INTERFACE ${ORVEX_GENERATED_DIR})

# orvex_version_resource(target "description"): a VERSIONINFO resource for the
# target, with the description in Russian.
function(orvex_version_resource target description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(ORVEX_RC_FILETYPE VFT_DLL)
    set(ORVEX_RC_FILENAME "${target}.dll")
  else()
    set(ORVEX_RC_FILETYPE VFT_APP)
    set(ORVEX_RC_FILENAME "${target}.exe")
  endif()
  set(ORVEX_RC_DESCRIPTION "${description}")
  set(ORVEX_RC_INTERNAL "${target}")
  set(rc ${ORVEX_GENERATED_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  target_link_libraries(${target} PRIVATE orvex_version)
endfunction()
