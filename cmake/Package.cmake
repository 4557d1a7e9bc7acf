# The Debian package: `cpack -G DEB` in the build folder gives
# luminakey_<version>_<arch>.deb installing to /usr. Library dependencies are
# computed from the binaries (dpkg-shlibdeps); the data the program opens at
# run time is named here, since no binary links it.
include(GNUInstallDirs)

set(LUMINAKEY_MAINTAINER "Seed 45407a0c maintainers <maintainers@users.noreply.c-seed-45407a0c.example>"
  CACHE STRING "Maintainer field of the Debian package")

# Debian's own files: copyright, and the changelog gzipped without a time stamp.
file(STRINGS ${PROJECT_SOURCE_DIR}/data/debian/changelog _first LIMIT_COUNT 1)
if(NOT _first MATCHES "^luminakey \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog does not start with version ${PROJECT_VERSION}: add an entry")
endif()
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/luminakey)
set(_changelog ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/data/debian/changelog > ${_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog)
add_custom_target(luminakey_changelog ALL DEPENDS ${_changelog})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${_changelog} DESTINATION ${_doc_dir})

set(CPACK_PACKAGE_NAME luminakey)
set(CPACK_PACKAGE_VENDOR "The LuminaKey developers")
set(CPACK_PACKAGE_CONTACT "${LUMINAKEY_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing trainer for Japanese romaji input")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Configured for /usr, the modules land in lib/<triplet>/luminakey; under any
# other prefix they would sit in /usr/lib/luminakey, where CPack adds
# ldconfig calls that a package of private modules should not have.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "For the Debian package configure with -DCMAKE_INSTALL_PREFIX=/usr")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # luminakey_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMINAKEY_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LUMINAKEY_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A General MIDI SoundFont for the music mode, the dictionary of ふりがな入力,
# a Japanese font, Qt's own Japanese texts and the Qt platform plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fluid-soundfont-gm | timgm6mb-soundfont | sf2-soundfont-gm, mecab-ipadic-utf8, fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Follows the synopsis (CPACK_PACKAGE_DESCRIPTION_SUMMARY); an empty line
# becomes " ." in the control file.
set(CPACK_PACKAGE_DESCRIPTION "LuminaKey trains you to type Japanese on an ordinary keyboard in romaji.
You type the romaji of the Japanese words shown on screen; every key is
checked, misses are counted, and each drill ends with your speed in
characters per minute and your accuracy. The ten best runs form a ranking.
There are word drills at three levels, one-character drills, a music mode
in which every correct key plays the next note of a song, editors for your
own problems and songs, and a key setting per kana (し as si, shi or ci).
The command-line tool luminakey-tool converts romaji and checks problem
files.

ルミナキーは、ローマ字入力で日本語を打つ練習ソフトです。画面の言葉の
ローマ字を打つと一打ごとに正誤を判定し、速さと正確さを表示します。
単語練習、一文字練習、正しく打つたびに曲が鳴る音楽モード、問題と曲の
エディタ、かなごとのキー設定があります。")

include(CPack)
