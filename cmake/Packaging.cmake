# `make package`: a Debian package of what `cmake --install` puts in place.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "qingxiu")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Qingxiu developers")
set(CPACK_PACKAGE_CONTACT "Qingxiu developers <dev@qingxiu.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turn a picture into a Windows icon file")
set(CPACK_PACKAGE_DESCRIPTION
    "Qingxiu (青岫) turns a BMP, JPEG, GIF, ICO, CUR or PCX picture into a Windows icon file\n"
    "with one 16x16 or 32x32 image at 24 bits per pixel.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://qingxiu.example")
# The libraries come from dpkg-shlibdeps; the window's Chinese texts need a CJK font besides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-wqy-zenhei | fonts-noto-cjk")
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
include(CPack)
