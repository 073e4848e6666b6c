# The editor's bitmap strips, embedded in a static library with a lookup by
# resource id (src/pix/EmbeddedResource.h). The source is generated from the
# PNG files at build time, so editing a PNG rebuilds it.
#
# Defines:
#   tidepull_resources           static library
#   TIDEPULL_RESOURCE_IMAGE_DIR  folder holding the PNG files

get_filename_component(_tp_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(TIDEPULL_RESOURCE_IMAGE_DIR "${_tp_root}/resources/img")

# Resource id and file of every image (cmake/EditorStrips.cmake).
set(_tp_images ${TIDEPULL_EDITOR_IMAGES})

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
