# The version information the programs carry in their own file, read back by the about box and
# `kestrova-check --version`. The file version is the project's VERSION; the other entries are here.
set(KS_VERSION_LANGUAGE 0x0419) # Russian
set(KS_VERSION_CODE_PAGE 1251)
set(KS_VERSION_PRODUCT_NAME "Kestrova Sertrix")
set(KS_VERSION_COMPANY_NAME "Tellvik")
set(KS_FILE_VERSION ${PROJECT_VERSION})
set(KS_PRODUCT_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})

# Eight upper-case hexadecimal digits of a 32-bit number.
function(_ks_hex8 out value)
  math(EXPR _hex "${value}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${_hex}" 2 -1 _hex)
  string(TOUPPER "${_hex}" _hex)
  string(LENGTH "${_hex}" _length)
  while(_length LESS 8)
    string(PREPEND _hex "0")
    math(EXPR _length "${_length} + 1")
  endwhile()
  set(${out} ${_hex} PARENT_SCOPE)
endfunction()

# The translation entry holds the language in its low half and the code page in its high half;
# the string table is named by the language and then the code page.
_ks_hex8(KS_VERSION_TRANSLATION "(${KS_VERSION_CODE_PAGE} << 16) | ${KS_VERSION_LANGUAGE}")
_ks_hex8(_ks_language_high "${KS_VERSION_LANGUAGE} << 16")
_ks_hex8(_ks_code_page "${KS_VERSION_CODE_PAGE}")
string(SUBSTRING "${_ks_language_high}" 0 4 _ks_language)
string(SUBSTRING "${_ks_code_page}" 4 4 _ks_code_page)
set(KS_VERSION_TABLE "${_ks_language}${_ks_code_page}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/VersionResource.cpp.in ${PROJECT_BINARY_DIR}/generated/VersionResource.cpp
  @ONLY)

# Embeds the version information into an executable.
function(ks_embed_version target)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/generated/VersionResource.cpp)
endfunction()
