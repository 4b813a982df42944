# What `cmake --install` puts where, and the Debian package made from it:
# the programs in bin/, the speech data and the sample settings in
# share/sonaris/ (found there relative to bin/), the manual pages, and a
# desktop entry. Tests, benchmarks and data builders stay in the build.

# What running Selenor needs and nothing more (no tests): the README's first
# command builds this.
add_custom_target(sonaris_runtime)
foreach(target selenor sonaris_sounds sonaris_difones toada-dfn sonaris_man)
  if(TARGET ${target})
    add_dependencies(sonaris_runtime ${target})
  endif()
endforeach()

foreach(program selenor sonaris-say sonaris-play toada-say sonaris-voices)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  endif()
endforeach()

set(SONARIS_SHARE_DIR "${CMAKE_INSTALL_DATADIR}/sonaris")

# The speech-dispatcher module goes where speech-dispatcher looks for its
# modules and their configuration files, so that it finds it by itself:
# the system's folders for the prefixes /usr (the .deb) and /usr/local, the
# same folders inside any other prefix (a private tree). Decided at install
# time, when the prefix is known; the file names the data folder as it will
# be once installed.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_get_variable(SPEECHD_MODULE_BIN_DIR speech-dispatcher modulebindir)
endif()
if(NOT SPEECHD_MODULE_BIN_DIR)
  set(SPEECHD_MODULE_BIN_DIR /usr/lib/speech-dispatcher-modules)
endif()
if(TARGET sd_sonaris)
  install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    set(root \"\${prefix}\")
    set(SONARIS_INSTALLED_DATA \"\${prefix}/${SONARIS_SHARE_DIR}\")
    if(prefix STREQUAL /usr/local)
      set(root \"\")
    elseif(prefix MATCHES \"/usr$\")  # /usr itself, or /usr inside a package's tree
      string(REGEX REPLACE \"/usr$\" \"\" root \"\${prefix}\")
      set(SONARIS_INSTALLED_DATA \"/usr/${SONARIS_SHARE_DIR}\")
    endif()
    configure_file(\"${PROJECT_SOURCE_DIR}/data/speechd/sonaris.conf.in\"
                   \"${PROJECT_BINARY_DIR}/sonaris.conf\" @ONLY)
    file(INSTALL \"$<TARGET_FILE:sd_sonaris>\" USE_SOURCE_PERMISSIONS
         DESTINATION \"\${root}${SPEECHD_MODULE_BIN_DIR}\")
    # Installed by hand, so stripped by hand as the other programs are.
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\"
        \"\$ENV{DESTDIR}\${root}${SPEECHD_MODULE_BIN_DIR}/$<TARGET_FILE_NAME:sd_sonaris>\")
    endif()
    file(INSTALL \"${PROJECT_BINARY_DIR}/sonaris.conf\"
         DESTINATION \"\${root}/etc/speech-dispatcher/modules\")")
endif()
install(FILES "${SONARIS_DATA_DIR}/SONARIS.INI" DESTINATION "${SONARIS_SHARE_DIR}")
install(DIRECTORY "${SONARIS_DATA_DIR}/som" DESTINATION "${SONARIS_SHARE_DIR}")
install(DIRECTORY "${SONARIS_DATA_DIR}/toada" DESTINATION "${SONARIS_SHARE_DIR}" OPTIONAL)
install(FILES "${PROJECT_SOURCE_DIR}/data/selenor.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME selenor)
set(CPACK_PACKAGE_VENDOR "Sonaris")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console de texto falado e o programa Selenor")
set(CPACK_PACKAGE_DESCRIPTION
    "Sonaris é um console de texto de 80x25 que fala tudo o que mostra, para pessoas cegas e com baixa visão, com voz própria em português, entrada Braille e lupa. Selenor pergunta a data de nascimento e fala o dia da semana, a idade, os dias vividos e um perfil astrológico.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipe Sonaris <sonaris@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The linked libraries come from the programs themselves; the font, the
# opener and the libraries the back ends open when chosen (platform/) are
# used at run time without being linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
get_property(opened GLOBAL PROPERTY SONARIS_OPENED_PACKAGES)
set(depends fonts-dejavu-core xdg-utils ${opened})
list(REMOVE_DUPLICATES depends)
list(JOIN depends ", " depends)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
# Outside Debian main, or only needed for the system voices.
# The module's configuration file is the user's to edit: dpkg keeps changes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/data/speechd/conffiles")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mbrola, mbrola-br1, mbrola-br3, mbrola-br4, speech-dispatcher, speech-dispatcher-espeak-ng")
include(CPack)
