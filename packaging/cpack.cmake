# The Debian package of the suite: cpack -G DEB in the build folder, or
# make package. Its Depends are those of the shared libraries the programs
# link (dpkg-shlibdeps), with the font the windows and pictures are drawn in
# and the toolkit's translations.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SUITE_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The filter suite's developers")
set(CPACK_PACKAGE_CONTACT "Filter suite developers <developers@filtersuite.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "frequency-domain study of linear analog circuits and active filters")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/copyright)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
# The programs are installed without their debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolkit's Portuguese translations: without them the standard dialogs
# of moratw and kelmaw speak English.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop suite for engineers and students who design active filters:

 * moratw (morat on the command line) reads a netlist and sweeps the
   frequency: module, phase, group delay, the sensitivity of the transfer
   function to every element and the deviations that follow from element
   tolerances, with plots, sensitivity lists, dynamic range and response
   tables; it finds poles and zeros, computes their deviations and checks
   the deviations by Monte Carlo;
 * plaxew (plaxe) draws circuits from a library of 69 symbols, evaluates
   parameter formulas against a value list and generates the netlist;
 * kelmaw (kelma) overlays pole/zero deviation tables and reference files
   in the complex plane.

The analysis program and the viewer speak Portuguese, the editor English.
Examples are in /usr/share/doc/filtersuite/examples.")

include(CPack)
