# The release date of this version: SOURCE_DATE_EPOCH when the build sets it, else the time of the
# last commit, so that the package, its changelog and its AppStream data carry one date and a
# rebuild of the same commit gives the same files.
set(KS_RELEASE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT KS_RELEASE_EPOCH)
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE KS_RELEASE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _ks_git_dir
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # A new commit moves the date: configure again when the branch moves.
    if(_ks_git_dir AND EXISTS ${_ks_git_dir}/logs/HEAD)
      set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_ks_git_dir}/logs/HEAD)
    endif()
  endif()
endif()
# A source tree without its history (an unpacked archive) keeps the time its files were made.
if(NOT KS_RELEASE_EPOCH MATCHES "^[0-9]+$")
  file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt KS_RELEASE_EPOCH "%s" UTC)
endif()

set(_ks_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${KS_RELEASE_EPOCH})
string(TIMESTAMP KS_RELEASE_DAY "%Y-%m-%d" UTC)
string(TIMESTAMP KS_RELEASE_MONTH "%B %Y" UTC)
string(TIMESTAMP KS_RELEASE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${_ks_saved_epoch}")
