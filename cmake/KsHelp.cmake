# The user's guide: copied beside the program in the build folder (build/help/), where the program
# finds it as a copy unpacked in one folder would, and installed into the program's data folder.
set(KS_HELP_FILES index.html style.css)
set(_copies)
foreach(_file ${KS_HELP_FILES})
  set(_copy ${PROJECT_BINARY_DIR}/help/${_file})
  add_custom_command(OUTPUT ${_copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/help/${_file} ${_copy}
    DEPENDS ${PROJECT_SOURCE_DIR}/help/${_file} VERBATIM)
  list(APPEND _copies ${_copy})
endforeach()
add_custom_target(ks_help ALL DEPENDS ${_copies})
list(TRANSFORM KS_HELP_FILES PREPEND ${PROJECT_SOURCE_DIR}/help/)
install(FILES ${KS_HELP_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova-sertrix/help)
