# `make package`: a Debian package of exactly what `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvo)
set(CPACK_PACKAGE_VENDOR "Kelvo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
"Kelvo turns a computer's sound card into a two-channel audio test oscillator:
sine, square, triangle, sawtooth, noise, bursts, pulses, multitone, sweeps, warble,
AM, FM and double sideband, rendered into a WAV file and played in a gapless loop.
The package holds the desktop program kelvo and the command-line tool kelvo-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvo developers")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# dpkg-shlibdeps names the packages of the libraries the programs really link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
