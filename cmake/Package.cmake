# The Debian package, vellumo_<version>_amd64.deb, made by cpack -G DEB from
# what the install rules lay out (scripts/package builds it).

# The documents Debian asks of every package, installed only into the package.
option(VELLUMO_DEBIAN_DOCS "Install the copyright file and changelog a Debian package carries" OFF)
if(VELLUMO_DEBIAN_DOCS)
    set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/vellumo)
    set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
    execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog
                    OUTPUT_FILE ${changelog} COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog} DESTINATION ${doc_dir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumo)
set(CPACK_PACKAGE_VENDOR "Corvath Software")
set(CPACK_PACKAGE_CONTACT "Corvath Software <vellumo@corvath.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvath.example/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(VELLUMO_PACKAGE_PROGRAM_DIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${VELLUMO_INSTALL_PROGRAM_DIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/postrm.in ${CMAKE_BINARY_DIR}/packaging/postrm @ONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/postrm)
# The libraries the binaries link, as dpkg-shlibdeps finds them; Messenger
# itself runs under wine, which the package recommends but does not need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is loaded by name at the first transfer, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.85)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
# The first line is the synopsis; cpack indents the rest and turns the empty
# line into the paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"background picture manager for Messenger under Wine
Vellumo manages the background picture of Windows Messenger and MSN
Messenger 4.x to 6.x running under Wine. It downloads a catalogue of skins
from a web folder, previews a skin on click and installs it in every
Messenger installation it finds.

Its texts are Dutch; an English language file is included. The package
also holds vellumo-catalogue, which checks catalogue folders and serves one
on the local machine.")

include(CPack)
