# Checks that every name is a target defined before this point; a misspelt or missing
# dependency stops the configuration instead of being dropped silently.
function(ks_existing_targets out)
  foreach(_dep ${ARGN})
    if(NOT TARGET ${_dep})
      message(FATAL_ERROR "Unknown target '${_dep}' in a dependency list")
    endif()
  endforeach()
  set(${out} ${ARGN} PARENT_SCOPE)
endfunction()

# One static library per source folder: every .cpp directly in the folder
# belongs to it, so adding a file needs no edit here.
function(ks_library name dir)
  file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  list(FILTER _sources EXCLUDE REGEX "/main[^/]*\\.cpp$")
  if(NOT _sources)
    message(FATAL_ERROR "No sources in ${dir} for ${name}")
  endif()
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  ks_existing_targets(_deps ${ARGN})
  target_link_libraries(${name} PUBLIC ${_deps})
endfunction()

# One test executable per test folder, run by CTest with the offscreen platform.
function(ks_test name dir)
  file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT _sources)
    message(FATAL_ERROR "No test sources in ${dir} for ${name}")
  endif()
  add_executable(${name} ${_sources})
  ks_existing_targets(_deps ${ARGN})
  target_link_libraries(${name} PRIVATE ks_testsupport ${_deps})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FORCE_ASSERTS=1;KS_SANDBOX=$<TARGET_FILE:ks-sandbox>;KS_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    TIMEOUT 900)
endfunction()
