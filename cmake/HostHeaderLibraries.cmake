# CLI11 and nlohmann/json are header-only: a cross build takes the host's
# Debian copies. Only their own folders are exposed, never the host's
# /usr/include, whose C library headers would shadow MinGW's.
function(px520_host_header_library target header_dir)
  set(root ${CMAKE_BINARY_DIR}/host-headers/${target})
  get_filename_component(name ${header_dir} NAME)
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${header_dir} ${root}/${name} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${root})
endfunction()

px520_host_header_library(CLI11::CLI11 /usr/include/CLI)
px520_host_header_library(nlohmann_json::nlohmann_json /usr/include/nlohmann)
