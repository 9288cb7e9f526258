# The project's one version, as a header in the build tree: zt_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
  ${PROJECT_BINARY_DIR}/generated/zt6100/version.h @ONLY)
add_library(zt_version INTERFACE)
target_include_directories(zt_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
