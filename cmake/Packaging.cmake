# Packages, made with CPack from the build folder:
#
#   Linux build:   cpack --config <build>/CPackConfig.cmake   ->  tidepull_<version>_amd64.deb
#                  (from the arm64 cross build, build-arm64.sh:  tidepull_<version>_arm64.deb)
#                  the bundle in /usr/lib/vst3, the factory presets in
#                  /usr/share/vst3/presets/Quillmarch/Tidepull, and the LV2
#                  bundle (its presets inside) in /usr/lib/lv2
#   Windows build: cpack --config <build-win>/CPackConfig.cmake  ->  Tidepull-<version>-win64.zip
#                  the Tidepull.vst3 bundle folder, ready to drop into
#                  C:\Program Files\Common Files\VST3, and the factory presets
#                  under VST3 Presets/Quillmarch/Tidepull (for Documents)
#                  and, built with the rest: packages/Tidepull-<version>-setup.exe
#                  (cmake/WindowsInstaller.cmake)
#
# The packaged pieces are install components of their own, left out of a plain
# `cmake --install` (which installs for the current user, component plugin).

# cpack installs what is built; it does not build the whole tree (tests and
# benchmarks) first. scripts/deb-check.sh builds the packaged targets.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME ${TIDEPULL_PRODUCT})
set(CPACK_PACKAGE_VENDOR ${TIDEPULL_VENDOR})
set(CPACK_PACKAGE_VERSION ${TIDEPULL_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${TIDEPULL_SUMMARY}")
set(CPACK_PACKAGE_CONTACT "${TIDEPULL_VENDOR} <${TIDEPULL_EMAIL}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TIDEPULL_URL}")
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  # The factory presets with the class ID as Windows hosts spell it, written
  # by the Linux build's tools (build-win.sh hands the folder over).
  set(TIDEPULL_WINDOWS_PRESETS_DIR "" CACHE PATH "Factory presets for the Windows packages")
  install(DIRECTORY ${TIDEPULL_BUNDLE_DIR} DESTINATION . USE_SOURCE_PERMISSIONS
          COMPONENT package_bundle EXCLUDE_FROM_ALL)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt
          COMPONENT package_bundle EXCLUDE_FROM_ALL)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL package_bundle)
  if(TIDEPULL_WINDOWS_PRESETS_DIR)
    install(DIRECTORY ${TIDEPULL_WINDOWS_PRESETS_DIR}/
            DESTINATION "VST3 Presets/${TIDEPULL_VENDOR}/${TIDEPULL_PRODUCT}"
            COMPONENT package_presets EXCLUDE_FROM_ALL)
    list(APPEND CPACK_COMPONENTS_ALL package_presets)
  endif()
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.cmake)
  # The zip holds Tidepull.vst3/ itself, not a folder named after the package.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  install(DIRECTORY ${TIDEPULL_BUNDLE_DIR} DESTINATION lib/vst3 USE_SOURCE_PERMISSIONS
          COMPONENT package_bundle EXCLUDE_FROM_ALL)
  install(DIRECTORY ${TIDEPULL_PRESETS_DIR}/ DESTINATION share/vst3/presets/${TIDEPULL_VENDOR}/${TIDEPULL_PRODUCT}
          COMPONENT package_presets EXCLUDE_FROM_ALL)
  install(DIRECTORY ${TIDEPULL_LV2_BUNDLE_DIR} DESTINATION lib/lv2 USE_SOURCE_PERMISSIONS
          COMPONENT package_bundle EXCLUDE_FROM_ALL)
  # Debian's machine-readable copyright file, where dpkg tools look for it.
  install(FILES ${PROJECT_SOURCE_DIR}/installer/debian/copyright DESTINATION share/doc/tidepull
          COMPONENT package_bundle EXCLUDE_FROM_ALL)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL package_bundle package_presets)
  set(CPACK_DEBIAN_PACKAGE_NAME tidepull)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "${TIDEPULL_SUMMARY}\n"
      "Tidepull drives each channel through a saturation curve and compresses both\n"
      "with one linked peak detector, from the main input or an external sidechain.\n"
      "Installs the Tidepull.vst3 bundle for every VST 3 host and its factory presets,\n"
      "and the Tidepull.lv2 bundle with the same presets for LV2 hosts.")
  # The libraries the module links (libpng, FreeType, fontconfig, X11) from the
  # module itself; the editor falls back on DejaVu Sans.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    # CPack would ask dpkg, which answers for the build machine. The
    # dependencies come out right as they are: dpkg-shlibdeps finds the
    # arm64 multiarch libraries the modules were linked against.
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
endif()

include(CPack)
