# The Debian package of the installed program: `cpack -G DEB` in a build
# folder (scripts/package.sh builds one in Release and packages it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scrivlet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small editor for plain text and Rich Text files")
# One string: a list of lines would lose the semicolons inside them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Scrivlet edits one document at a time: plain-text and Rich Text files are\n"
    "opened, edited with the clipboard, searched and replaced, printed and saved.\n"
    "A status bar shows the caret's line and column; a normal window and a small\n"
    "tool window can be switched at any time.")
set(CPACK_PACKAGE_CONTACT "Scrivlet developers")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
# The package depends on the libraries the program links at run time. Where
# dpkg-shlibdeps is at hand it finds their packages; otherwise they are
# those of Debian 12's Qt 6. Qt's X11 display plugin comes with its GUI
# library; the Wayland one is a package of its own, recommended.
find_program(SCRIVLET_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(SCRIVLET_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6, libqt6printsupport6, libqt6gui6, libqt6core6, libc6, libstdc++6, libgcc-s1")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
