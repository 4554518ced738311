# The engine-list entry for chess interfaces, and the Debian package that
# scripts/build-deb makes with CPack from an installed tree under /usr.

# The version is the one the engine tells in "id name", so that the package,
# the manual page and `vostrak --version` cannot drift apart.
read_source_text(src/protocol/uci.cpp EngineName ENGINE_NAME)
string(REGEX REPLACE "^Vostrak " "" VOSTRAK_VERSION "${ENGINE_NAME}")

# xboard scans <plugins>/uci/ for UCI engines and runs those it finds there
# through its UCI adapter; <plugins>/xboard/ is for engines of its own protocol.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vostrak.eng DESTINATION share/games/plugins/uci)

# Debian's rules want every package to carry its copyright and licence, as
# usr/share/doc/<package>/copyright in the machine-readable format, and its
# changelog; a package whose version has no Debian revision is a native one,
# whose changelog is changelog.gz, compressed as much as gzip can. The
# changelog gains an entry whenever the engine's version changes:
# scripts/check-deb checks that its latest entry is the package's version.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION share/doc/vostrak)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(PACKAGE_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_command(OUTPUT changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9n -c ${PACKAGE_CHANGELOG} > changelog.gz
                   DEPENDS ${PACKAGE_CHANGELOG}
                   COMMENT "Compressing the package's changelog")
add_custom_target(package_changelog ALL DEPENDS changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION share/doc/vostrak)

# The default Maintainer is a placeholder: no host under the reserved domain
# .invalid ever exists. lintian checks only an address's form, wanting a host
# that is a domain name of two labels or more, which the former default's
# bare "invalid" was not; build folders configured before keep that one in
# their cache, hence the reset. Whoever publishes the package sets their own
# address with -DVOSTRAK_PACKAGE_MAINTAINER="Name <address>".
if(VOSTRAK_PACKAGE_MAINTAINER STREQUAL "The Vostrak developers <vostrak@invalid>")
  unset(VOSTRAK_PACKAGE_MAINTAINER CACHE)
endif()
set(VOSTRAK_PACKAGE_MAINTAINER "The Vostrak developers <vostrak@vostrak.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vostrak)
set(CPACK_PACKAGE_VERSION ${VOSTRAK_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "UCI chess engine")
set(CPACK_PACKAGE_DESCRIPTION
    "Vostrak is a chess engine that speaks the Universal Chess Interface (UCI)
protocol: iterative deepening alpha-beta with a transposition table and
quiescence search on a hand-tuned evaluation, 1 to 8 search threads, and
perfect play of every ending with at most three men through its own
tablebase library.
.
It has no board of its own: use it from a chess interface, such as xboard
(through polyglot), which finds it in its engine list.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VOSTRAK_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works out Depends from the engine's and the library's links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "polyglot, xboard | scid")
include(CPack)
