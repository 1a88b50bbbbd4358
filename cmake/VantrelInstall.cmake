# What `cmake --install` puts under the prefix: the static libraries, their
# public headers under include/vantrel/, the CMake package `Vantrel` and the
# pkg-config file vantrel.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(vantrel_installed render picture)
if(TARGET vantrel_terminal)
  list(APPEND vantrel_installed terminal)
endif()

set(vantrel_targets "")
set(vantrel_pc_libs "")
foreach(name IN LISTS vantrel_installed)
  list(APPEND vantrel_targets vantrel_${name})
  if(WIN32)
    # The POSIX terminal session, its events and the exchange are not built there.
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${name}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
      PATTERN terminal_session.h EXCLUDE PATTERN terminal_events.h EXCLUDE
      PATTERN terminal_exchange.h EXCLUDE)
  else()
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${name}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  endif()
  # Dependants first, as a linker wants them.
  string(PREPEND vantrel_pc_libs "-lvantrel_${name} ")
endforeach()

install(TARGETS ${vantrel_targets} EXPORT VantrelTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(vantrel_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
install(EXPORT VantrelTargets NAMESPACE Vantrel:: DESTINATION ${vantrel_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VantrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VantrelConfig.cmake INSTALL_DESTINATION ${vantrel_cmake_dir})
# 0.x releases promise nothing across minor versions.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VantrelConfig.cmake ${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
  DESTINATION ${vantrel_cmake_dir})

string(STRIP "${vantrel_pc_libs}" vantrel_pc_libs)
# The prefix is found from where the file lies, so the package may be
# installed with any --prefix, or moved.
file(RELATIVE_PATH vantrel_pc_prefix "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
configure_file(${PROJECT_SOURCE_DIR}/cmake/vantrel.pc.in ${PROJECT_BINARY_DIR}/vantrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vantrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
