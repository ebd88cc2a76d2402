# toml++ and nlohmann/json for a cross build, from the build machine's
# Debian packages: both are headers only, so the same files serve any
# target. Each is reached through a folder of its own in the build tree,
# since putting the machine's /usr/include on the path would hide the
# target's C library behind the host's.
set(DTU_HOST_INCLUDE_DIR /usr/include CACHE PATH "Where the build machine keeps toml++/ and nlohmann/")

function(dtu_host_header_library target folder)
  set(dir ${CMAKE_BINARY_DIR}/host-headers/${folder})
  if(NOT EXISTS ${DTU_HOST_INCLUDE_DIR}/${folder})
    message(FATAL_ERROR "${DTU_HOST_INCLUDE_DIR}/${folder} is missing: run scripts/deps.sh windows")
  endif()
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${DTU_HOST_INCLUDE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  target_include_directories(${target} SYSTEM INTERFACE ${dir})
endfunction()

dtu_host_header_library(tomlplusplus::tomlplusplus toml++)
# Debian builds toml++ as a shared library; here it is compiled in.
target_compile_definitions(tomlplusplus::tomlplusplus INTERFACE TOML_HEADER_ONLY=1)
dtu_host_header_library(nlohmann_json::nlohmann_json nlohmann)
