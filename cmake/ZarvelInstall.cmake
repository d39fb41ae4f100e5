# Installation and Debian package of the program and its conversion library.
#
#   cmake --install <build> [--prefix P]   bin/Zarvel_cli, <libdir>/libZarvel3D.so.1 and its
#                                           development link, the modules beside it,
#                                           include/zarvel3d/, <libdir>/pkgconfig/zarvel3d.pc
#   cpack -G DEB (in <build>)              the same files under /usr in zarvel-cli_<version>_<arch>.deb
#
# Every rule of ours belongs to the component ZARVEL_INSTALL_COMPONENT, and the package takes that
# component only: install rules that other projects bring along never reach it.
include(GNUInstallDirs)

# Installing and packaging take what is built and never start a build themselves (like
# cmake --install): cpack then cannot rebuild binaries that tests are running meanwhile.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(ZARVEL_INSTALL_COMPONENT zarvel)

# The program finds the library through a run path relative to its own folder, so the installed
# tree runs from any directory, moved or packaged, with no environment variable. The relative path
# is computed because GNUInstallDirs may choose lib/<multiarch> rather than lib.
file(RELATIVE_PATH zarvel_bin_vers_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
if(zarvel_bin_vers_lib STREQUAL "")
  set(ZARVEL_INSTALL_RPATH "$ORIGIN")
else()
  set(ZARVEL_INSTALL_RPATH "$ORIGIN/${zarvel_bin_vers_lib}")
endif()

if(TARGET Zarvel_cli)
  set_target_properties(Zarvel_cli PROPERTIES INSTALL_RPATH "${ZARVEL_INSTALL_RPATH}")
  install(TARGETS Zarvel_cli
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${ZARVEL_INSTALL_COMPONENT})
endif()

if(TARGET Zarvel3D)
  install(TARGETS Zarvel3D
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${ZARVEL_INSTALL_COMPONENT}
            NAMELINK_COMPONENT ${ZARVEL_INSTALL_COMPONENT})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/zarvel3d/include/
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ${ZARVEL_INSTALL_COMPONENT}
    FILES_MATCHING PATTERN "*.h")

  # pkg-config file. Its prefix is known only when installing (cmake --install --prefix, or /usr
  # for the package), so the body is written now and the prefix line is added then.
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(zarvel_pc_libdir "${CMAKE_INSTALL_LIBDIR}")
    set(zarvel_pc_destination "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  else()
    set(zarvel_pc_libdir "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
    set(zarvel_pc_destination "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  endif()
  if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(zarvel_pc_includedir "${CMAKE_INSTALL_INCLUDEDIR}")
  else()
    set(zarvel_pc_includedir "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
  endif()
  set(zarvel_pc_corps "${CMAKE_BINARY_DIR}/pkgconfig/zarvel3d.pc.corps")
  file(WRITE "${zarvel_pc_corps}"
    "exec_prefix=\${prefix}\n"
    "libdir=${zarvel_pc_libdir}\n"
    "includedir=${zarvel_pc_includedir}\n"
    "\n"
    "Name: zarvel3d\n"
    "Description: Conversion of 2D DXF plans into 3D models, STL/OBJ/PLY/STEP input and output\n"
    "Version: ${PROJECT_VERSION}\n"
    "Libs: -L\${libdir} -lZarvel3D\n"
    "Cflags: -I\${includedir}\n")
  # A scratch folder per destination, removed afterwards: installs into several prefixes may run
  # at the same time (a test and a package).
  install(CODE "
    string(MD5 zarvel_pc_cle \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(zarvel_pc_dossier \"${CMAKE_BINARY_DIR}/pkgconfig/\${zarvel_pc_cle}\")
    file(READ \"${zarvel_pc_corps}\" zarvel_pc_texte)
    file(WRITE \"\${zarvel_pc_dossier}/zarvel3d.pc\" \"prefix=\${CMAKE_INSTALL_PREFIX}\\n\${zarvel_pc_texte}\")
    file(INSTALL DESTINATION \"${zarvel_pc_destination}\" TYPE FILE
         FILES \"\${zarvel_pc_dossier}/zarvel3d.pc\")
    file(REMOVE_RECURSE \"\${zarvel_pc_dossier}\")
    " COMPONENT ${ZARVEL_INSTALL_COMPONENT})
endif()

# The library's modules (solid modelling, STEP writer, export formats) go beside it, where it looks for them.
# They are opened by path, not linked, so they need no development link.
set(ZARVEL_MODULES "")
foreach(module Zarvel3D_solides Zarvel3D_step Zarvel3D_formats)
  if(TARGET ${module})
    list(APPEND ZARVEL_MODULES ${module})
  endif()
endforeach()
if(ZARVEL_MODULES)
  install(TARGETS ${ZARVEL_MODULES}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${ZARVEL_INSTALL_COMPONENT}
            NAMELINK_SKIP)
endif()

# Debian package.
set(ZARVEL_PACKAGE_MAINTAINER "Zarvel_cli maintainers <zarvel-cli@example.org>" CACHE STRING
  "Maintainer line of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarvel-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts 2D DXF plans into 3D models and shows them")
# The body of the Description field; CPack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Zarvel_cli reads DXF plans (three views, extrusion or revolution profiles) and
STL meshes, generates the 3D model, exports it (STL, OBJ, PLY, STEP and more)
or shows it in an interactive viewer.

The package also holds the conversion library libZarvel3D, its header and its
pkg-config file.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZARVEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Installed with DESTDIR and the real prefix, so that the pkg-config file names /usr and not the
# staging folder (CPACK_INSTALL_PREFIX would otherwise be the build's own prefix).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
# Our component only, from this build folder.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};${ZARVEL_INSTALL_COMPONENT};/")
# Dependencies computed by dpkg-shlibdeps. It must find our own libraries in the staging folder:
# the solid module links libZarvel3D.so.1 with no run path. It searches the standard library
# folders of the staged tree by itself; the private folder also covers a CMAKE_INSTALL_LIBDIR
# outside them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ".${CMAKE_INSTALL_LIBDIR}")
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ".${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
endif()
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
