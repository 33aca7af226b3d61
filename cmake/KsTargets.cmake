# Keeps the names of targets that exist (a folder without sources has none yet).
function(ks_existing_targets out)
  set(_kept)
  foreach(_dep ${ARGN})
    if(TARGET ${_dep})
      list(APPEND _kept ${_dep})
    endif()
  endforeach()
  set(${out} ${_kept} PARENT_SCOPE)
endfunction()

# One static library per source folder: every .cpp directly in the folder
# belongs to it, so adding a file needs no edit here.
function(ks_library name dir)
  file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  list(FILTER _sources EXCLUDE REGEX "/main[^/]*\\.cpp$")
  if(NOT _sources)
    return()
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
    return()
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
