# The Linux package: plotsend, plotmark and cutter-emu in /usr/bin and the
# udev rule for the cutter's USB printer, as a .deb made by CPack
# (cpack --config CPackConfig.cmake in the build tree).
install(TARGETS plotsend plotmark cutter-emu RUNTIME DESTINATION bin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/60-plotara-cutter.rules DESTINATION lib/udev/rules.d)
install(FILES ${PROJECT_SOURCE_DIR}/docs/plotmark.md ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION share/doc/plotara)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plotara)
set(CPACK_PACKAGE_VERSION 6.27.0)
set(CPACK_PACKAGE_CONTACT "Plotara developers <plotara@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print-and-cut jobs for a contour-cutting vinyl plotter")
set(CPACK_PACKAGE_DESCRIPTION
    "plotsend prepares a cut job from the work directory and sends it to the cutter (serial, USB, TCP);\n plotmark makes such a job from an SVG or HP-GL design; cutter-emu is a stand-in cutter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package made from this tree, checked and unpacked (not under the
# sanitizers: cpack strips the programs).
if(NOT PLOTARA_SANITIZE)
  add_test(NAME deb_package COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/deb_test.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(deb_package PROPERTIES TIMEOUT 120)
endif()
