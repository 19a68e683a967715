# CPack settings of the Debian package: `cpack -G DEB` in the build folder.
# Dependencies come from dpkg-shlibdeps over every ELF file of the package;
# the maintainer scripts register the components in the system store.

set(CPACK_PACKAGE_NAME qmxgantt)
set(CPACK_PACKAGE_VENDOR "QMX")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QMXGantt maintainers <maintainers@qmxgantt.example>" CACHE STRING
    "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gantt chart planner for project plans")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack
# indents this text and marks its empty line as a paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QMXGantt shows and edits a project plan as a Gantt chart: a tree of tasks
with dates, durations, progress and colours, dependency links that push
dependent tasks later, a two-row timeline, and a pool of resources
assigned to tasks.

Plans are kept in QMXGantt's own XML project files (.qmxg and .xml). The
package holds the display application QMXGanttDisplay, the command-line
tool qmxgantt that checks, dumps and converts project files, the map host
QMXMapHost, a small mind-map editor whose maps the display application
shows as plans and keeps in step, and the component libraries, registered
for every user at installation.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private libraries are part of the package: dpkg-shlibdeps finds them
# here rather than in another package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/${CPACK_PACKAGING_INSTALL_PREFIX}/${QMX_INSTALL_PRIVATE_LIBDIR})
# Qt finds its platform plugins at run time; no library links them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")

# Maintainer scripts, with the installed paths filled in.
set(QMX_PACKAGE_LIBDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${QMX_INSTALL_PRIVATE_LIBDIR})
set(QMX_PACKAGE_BINDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
set(QMX_PACKAGE_COMPONENTS)
foreach(target IN LISTS qmx_component_libraries)
  string(APPEND QMX_PACKAGE_COMPONENTS " lib${target}.so")
endforeach()
string(STRIP "${QMX_PACKAGE_COMPONENTS}" QMX_PACKAGE_COMPONENTS)
# The programs that register themselves with -RegServer.
set(QMX_PACKAGE_PROGRAMS)
foreach(target IN ITEMS QMXGanttDisplay QMXMapHost)
  if(TARGET ${target})
    string(APPEND QMX_PACKAGE_PROGRAMS " ${target}")
  endif()
endforeach()
string(STRIP "${QMX_PACKAGE_PROGRAMS}" QMX_PACKAGE_PROGRAMS)
set(QMX_SYSTEM_STORE /etc/xdg/QMX/registry.ini)

set(qmx_scripts_dir ${CMAKE_CURRENT_BINARY_DIR}/debian)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA)
foreach(script IN ITEMS postinst prerm postrm)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/${script}.in ${qmx_scripts_dir}/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${qmx_scripts_dir}/${script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
