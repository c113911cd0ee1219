# The install rules (layout in install_layout.cmake), after the targets exist.
install(TARGETS korvane velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET wnaspi32)
  install(TARGETS wnaspi32 LIBRARY DESTINATION ${KORVANE_MODULE_INSTALL_DIR})
endif()
install(FILES man/korvane.1 man/velmora.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
