# Who and what the plug-in is, written once. The C++ sources read the same
# values from the generated header plug/TidepullIdentity.h (target
# tidepull_identity); the packages, the preset folders and the bundle's
# metadata read these variables. The version is the project's.

set(TIDEPULL_PRODUCT ${PROJECT_NAME})
set(TIDEPULL_VENDOR "Quillmarch")
set(TIDEPULL_URL "https://quillmarch.example/tidepull")
set(TIDEPULL_EMAIL "support@quillmarch.example")
set(TIDEPULL_CATEGORY "Audio Module Class")
set(TIDEPULL_SUB_CATEGORIES "Fx|Dynamics")
set(TIDEPULL_SDK_VERSION "VST 3.6.12")
set(TIDEPULL_SUMMARY "Stereo valve-style compressor with a saturation stage (VST 3 plug-in)")
set(TIDEPULL_LICENSE "GPL-3.0-or-later")
# Four-character codes: the maker's and the plug's. They are also the last
# eight bytes of the class ID.
set(TIDEPULL_MAKER_CODE "Qlmr")
set(TIDEPULL_PLUG_CODE "Tdp1")
# The class ID's first eight bytes.
set(TIDEPULL_CLASS_ID_HEAD 0D E7 AE F2 DE 00 4E 4F)
set(TIDEPULL_VERSION ${PROJECT_VERSION})
# LV2 names the plug-in and its presets by URIs under the vendor's; they
# never change.
set(TIDEPULL_LV2_URI "https://quillmarch.example/lv2/tidepull")

foreach(_code MAKER_CODE PLUG_CODE)
  string(LENGTH "${TIDEPULL_${_code}}" _length)
  if(NOT _length EQUAL 4)
    message(FATAL_ERROR "TIDEPULL_${_code} must have four characters")
  endif()
endforeach()
list(LENGTH TIDEPULL_CLASS_ID_HEAD _length)
if(NOT _length EQUAL 8)
  message(FATAL_ERROR "TIDEPULL_CLASS_ID_HEAD must list eight bytes")
endif()

# The header's spellings of the same values.
math(EXPR TIDEPULL_VERSION_WORD
     "(${PROJECT_VERSION_MAJOR} << 16) | (${PROJECT_VERSION_MINOR} << 8) | ${PROJECT_VERSION_PATCH}"
     OUTPUT_FORMAT HEXADECIMAL)
list(TRANSFORM TIDEPULL_CLASS_ID_HEAD PREPEND "0x" OUTPUT_VARIABLE _head)
string(REPLACE ";" ", " TIDEPULL_CLASS_ID_HEAD_BYTES "${_head}")

set(TIDEPULL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/src/plug/TidepullIdentity.h.in
               ${TIDEPULL_GENERATED_DIR}/plug/TidepullIdentity.h @ONLY)
add_library(tidepull_identity INTERFACE)
target_include_directories(tidepull_identity INTERFACE ${TIDEPULL_GENERATED_DIR})
