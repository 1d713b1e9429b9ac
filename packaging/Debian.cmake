# The Debian package (cpack -G DEB, or ./package): what cmake --install puts under the prefix, with
# the package's dependencies read from the libraries the program links (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "The Quillora developers")
set(CPACK_PACKAGE_CONTACT "The Quillora developers <quillora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop editor for HTML and web source files")
set(CPACK_PACKAGE_DESCRIPTION "Quillora edits HTML pages, style sheets, scripts (JavaScript, PHP,
ASP, Perl) and XML. One main window holds many document windows, whose text
shows tags, quoted attribute values, comments and plain text in four colours.
Files keep their line endings, and their bytes where they were not edited.
Dialogs write tables, lists, frames, forms and style sheets; pages are
previewed in browser windows and checked with libtidy.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillora.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The spelling check: Hunspell's library (dpkg-shlibdeps finds it too), and a dictionary to check with;
# any of Debian's hunspell-* dictionaries will do.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libhunspell-1.7-0")
# Qt's own texts (message box buttons, the file dialog) in the user's language come from Debian's
# Qt translations; the program's own are compiled in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-en-us | hunspell-dictionary, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
