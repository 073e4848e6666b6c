# The Windows build's installer, packages/<product>-<version>-setup.exe,
# written by makensis (Debian's nsis) from installer/windows/Tidepull.nsi
# with the built bundle, the Windows factory presets and LICENSE. Target
# tidepull_installer (in ALL when makensis and the presets are there).

find_program(TIDEPULL_MAKENSIS makensis)
if(NOT TIDEPULL_MAKENSIS)
  message(WARNING "No makensis: no Windows installer (apt-get install nsis)")
  return()
endif()
if(NOT TIDEPULL_WINDOWS_PRESETS_DIR)
  message(WARNING "No TIDEPULL_WINDOWS_PRESETS_DIR: no Windows installer (build-win.sh hands the presets over)")
  return()
endif()

set(_tp_setup ${CMAKE_BINARY_DIR}/packages/${TIDEPULL_PRODUCT}-${TIDEPULL_VERSION}-setup.exe)
set(_tp_files_nsh ${CMAKE_BINARY_DIR}/installer/files.nsh)
set(_tp_nsi ${PROJECT_SOURCE_DIR}/installer/windows/Tidepull.nsi)
file(GLOB _tp_preset_files ${TIDEPULL_WINDOWS_PRESETS_DIR}/*.vstpreset)
add_custom_command(
  OUTPUT ${_tp_setup}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/installer ${CMAKE_BINARY_DIR}/packages
  COMMAND ${CMAKE_COMMAND} -DBUNDLE=${TIDEPULL_BUNDLE_DIR} -DPRESETS=${TIDEPULL_WINDOWS_PRESETS_DIR}
          -DOUTPUT=${_tp_files_nsh} -P ${PROJECT_SOURCE_DIR}/cmake/WriteInstallerFiles.cmake
  COMMAND ${TIDEPULL_MAKENSIS} -V2 -WX
          "-DPRODUCT=${TIDEPULL_PRODUCT}" "-DVENDOR=${TIDEPULL_VENDOR}" "-DVERSION=${TIDEPULL_VERSION}"
          "-DURL=${TIDEPULL_URL}" "-DOUTFILE=${_tp_setup}" "-DLICENSE_FILE=${PROJECT_SOURCE_DIR}/LICENSE"
          "-DFILES_NSH=${_tp_files_nsh}" ${_tp_nsi}
  DEPENDS Tidepull tidepull_bundle_resources ${_tp_nsi} ${_tp_preset_files} ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/cmake/WriteInstallerFiles.cmake
  COMMENT "Writing the Windows installer ${TIDEPULL_PRODUCT}-${TIDEPULL_VERSION}-setup.exe"
  VERBATIM)
add_custom_target(tidepull_installer ALL DEPENDS ${_tp_setup})
