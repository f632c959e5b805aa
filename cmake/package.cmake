# `cpack` in the build folder makes the Debian package. Its library dependencies come from
# dpkg-shlibdeps, so they follow whatever the build machine linked against (the browser's helper
# process comes with the shlibs entry of its library); the translations are named by hand.
set(FOTOLUN_PACKAGE_MAINTAINER "Fotolun developers" CACHE STRING "Maintainer field of the package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fotolun)
set(CPACK_PACKAGE_VENDOR "Fotolun")
set(CPACK_PACKAGE_CONTACT "${FOTOLUN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs and menus speak Chinese only with Qt's translations; shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, xdg-user-dirs")
if(FOTOLUN_HOME_URL)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${FOTOLUN_HOME_URL}")
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "download Qzone and QQ-group photo albums in batch
Fotolun downloads whole photo albums from the Qzone / QQ-group photo service.
Sign in inside its window, list the albums of a QQ number or a QQ group, check
the ones you want, and every photo lands in one folder per album, at HD or
original size, with pause, resume and stop. The command-line program
fotolun-cli does the same on a server, from a script or on a schedule.
.
Fotolun 批量下载 QQ 空间和 QQ 群的整本相册。在窗口内登录，列出一个 QQ 号码或
QQ 群的相册，勾选想要的，每本相册的照片就以高清或原图存进各自的文件夹，
可以暂停、继续和结束。命令行程序 fotolun-cli 可以在服务器上、脚本里或定时
完成同样的工作。")

include(CPack)
