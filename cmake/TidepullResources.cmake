# The editor's bitmap strips, embedded in a static library with a lookup by
# resource id (src/pix/EmbeddedResource.h). The source is generated from the
# PNG files at build time, so editing a PNG rebuilds it.
#
# Defines:
#   tidepull_resources           static library
#   TIDEPULL_RESOURCE_IMAGE_DIR  folder holding the PNG files

get_filename_component(_tp_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(TIDEPULL_RESOURCE_IMAGE_DIR "${_tp_root}/resources/img")

# Resource id and file, as the editor layout loads them.
set(_tp_images
  101 IN.png
  102 OUT.png
  103 AC.png
  104 DC.png
  105 REL.png
  106 BG.png
  107 METER.png
  108 BY.png
  109 SC.png
  110 HPF.png
  111 MIX.png
  # The same strips at double density, 2000 ids above their 1x ones: the
  # editor reads them only when it draws above 1x.
  2101 2x/IN.png
  2102 2x/OUT.png
  2103 2x/AC.png
  2104 2x/DC.png
  2105 2x/REL.png
  2106 2x/BG.png
  2107 2x/METER.png
  2108 2x/BY.png
  2109 2x/SC.png
  2110 2x/HPF.png
  2111 2x/MIX.png
)

set(_tp_arg "")
set(_tp_files "")
list(LENGTH _tp_images _tp_n)
math(EXPR _tp_last "${_tp_n} - 1")
foreach(_i RANGE 0 ${_tp_last} 2)
  math(EXPR _j "${_i} + 1")
  list(GET _tp_images ${_i} _id)
  list(GET _tp_images ${_j} _file)
  set(_path "${TIDEPULL_RESOURCE_IMAGE_DIR}/${_file}")
  list(APPEND _tp_files "${_path}")
  if(_tp_arg)
    string(APPEND _tp_arg "|")
  endif()
  string(APPEND _tp_arg "${_id}=${_path}")
endforeach()

set(_tp_generated "${CMAKE_CURRENT_BINARY_DIR}/generated/EmbeddedResources.cpp")
add_custom_command(
  OUTPUT "${_tp_generated}"
  COMMAND "${CMAKE_COMMAND}" "-DOUTPUT=${_tp_generated}" "-DRESOURCES=${_tp_arg}"
          -P "${_tp_root}/cmake/EmbedResources.cmake"
  DEPENDS ${_tp_files} "${_tp_root}/cmake/EmbedResources.cmake"
  COMMENT "Embedding the editor bitmaps"
  VERBATIM)

add_library(tidepull_resources STATIC
  "${_tp_generated}"
  "${_tp_root}/src/pix/EmbeddedResource.h")
target_include_directories(tidepull_resources PUBLIC "${_tp_root}/src")
