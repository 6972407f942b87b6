# What `cmake --install` puts in place besides the two programs (installed
# with their targets), and the Debian package cpack builds from it.

set(QP_DESKTOP_ID org.quillpost.Quillpost)
set(QP_GENERATED ${PROJECT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${QP_GENERATED})

# The batch manual page and completion come from the batch's own command
# table, so they list exactly the commands and options --help does.
foreach(kind man-page bash-completion)
  if(kind STREQUAL "man-page")
    set(out ${QP_GENERATED}/quillpost-batch.1)
  else()
    set(out ${QP_GENERATED}/quillpost-batch.bash)
  endif()
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:quillpost-batch> -DARGUMENT=--${kind}
            -DOUTPUT=${out} -P ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
    DEPENDS quillpost-batch ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
    COMMENT "Writing ${out}"
    VERBATIM)
  list(APPEND QP_GENERATED_FILES ${out})
endforeach()
add_custom_target(qp_batch_docs ALL DEPENDS ${QP_GENERATED_FILES})

configure_file(${PROJECT_SOURCE_DIR}/data/man/quillpost.1.in ${QP_GENERATED}/quillpost.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/${QP_DESKTOP_ID}.metainfo.xml.in
               ${QP_GENERATED}/${QP_DESKTOP_ID}.metainfo.xml @ONLY)

install(FILES ${PROJECT_SOURCE_DIR}/data/${QP_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QP_GENERATED}/${QP_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${QP_DESKTOP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${size}x${size}/${QP_DESKTOP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${QP_GENERATED}/quillpost.1 ${QP_GENERATED}/quillpost-batch.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QP_GENERATED}/quillpost-batch.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quillpost-batch)
install(FILES ${PROJECT_SOURCE_DIR}/data/label-stock-LICENSE.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillpost)

# Renders the icon's PNG sizes from its SVG; run by hand after changing the
# drawing (`cmake --build build --target icons`), the PNGs are committed.
add_executable(qp_render_icon EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/scripts/render_icon.cpp)
target_link_libraries(qp_render_icon PRIVATE Qt6::Gui)
set_target_properties(qp_render_icon PROPERTIES AUTOMOC OFF)
add_custom_target(
  icons
  COMMAND qp_render_icon ${PROJECT_SOURCE_DIR}/data/icons/${QP_DESKTOP_ID}.svg
          48 ${PROJECT_SOURCE_DIR}/data/icons/48x48/${QP_DESKTOP_ID}.png
          256 ${PROJECT_SOURCE_DIR}/data/icons/256x256/${QP_DESKTOP_ID}.png
  VERBATIM)

# cpack -G DEB: the libraries' packages come from dpkg-shlibdeps; what the
# program loads by name at run time is listed by hand.
set(CPACK_PACKAGE_NAME quillpost)
set(CPACK_PACKAGE_VENDOR "The Quillpost developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Mailing lists, labels, envelopes, form letters and reports")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Quillpost keeps mailing lists in DBF address files and prints labels, envelopes, form "
       "letters and reports from them, with bulk-mail presort, imports and exports. "
       "quillpost-batch runs the same jobs from the command line.")
set(CPACK_PACKAGE_CONTACT "The Quillpost developers <quillpost@localhost>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quillpost)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The label fonts, the spelling dictionary and the SVG icon loader come from
# packages no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-symbola, hunspell-en-us, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, qt6-wayland")
set(CPACK_GENERATOR DEB)
include(CPack)
