# Compiler and linker flags from dpkg-buildflags with every hardening feature turned on. The
# optimisation and debug flags stay with the build type; everything else is taken as given.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

function(_ks_buildflags out name)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DPKG_BUILDFLAGS} --get ${name}
    OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(_flags UNIX_COMMAND "${_flags}")
  list(FILTER _flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
  set(${out} ${_flags} PARENT_SCOPE)
endfunction()

_ks_buildflags(_ks_cppflags CPPFLAGS)
# Fortified functions need the optimiser; an unoptimised Debug build would only warn about it.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  list(FILTER _ks_cppflags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
endif()
_ks_buildflags(_ks_cflags CFLAGS)
_ks_buildflags(_ks_cxxflags CXXFLAGS)
_ks_buildflags(_ks_ldflags LDFLAGS)
foreach(_flag ${_ks_cppflags})
  add_compile_options(${_flag})
endforeach()
foreach(_flag ${_ks_cflags})
  add_compile_options($<$<COMPILE_LANGUAGE:C>:${_flag}>)
endforeach()
foreach(_flag ${_ks_cxxflags})
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:${_flag}>)
endforeach()
add_link_options(${_ks_ldflags})

# Stack clash protection and control-flow protection are part of "hardening=+all" in newer
# versions of dpkg than Debian 12's; the compiler has them already, and hardening-check asks for them.
include(CheckCXXCompilerFlag)
foreach(_flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "KS_HAS${_flag}" _known)
  check_cxx_compiler_flag(${_flag} ${_known})
  if(${_known})
    add_compile_options(${_flag})
  endif()
endforeach()
