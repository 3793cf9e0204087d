# Runs at install time: writes the menu entry for the prefix in force then, so that its
# Exec names the installed program and its Path the installed data directory, where the
# program finds qeb.syn and qeb.syn2 in its working directory. Expects QEB_TEMPLATE,
# QEB_STAGING, QEB_BINDIR, QEB_DATADIR (the last two as GNUInstallDirs gives them).
foreach(dir BINDIR DATADIR)
  if(IS_ABSOLUTE "${QEB_${dir}}")
    set(full_${dir} "${QEB_${dir}}")
  else()
    set(full_${dir} "${CMAKE_INSTALL_PREFIX}/${QEB_${dir}}")
  endif()
endforeach()
set(QEB_EXEC "${full_BINDIR}/qeb-editor")
if(QEB_EXEC MATCHES "[ \t\"'\\\\$`]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" QEB_EXEC "${QEB_EXEC}")
  set(QEB_EXEC "\"${QEB_EXEC}\"")
endif()
set(QEB_DATA_DIR "${full_DATADIR}/qeb-editor")
# One staging file per destination, so installs to different places never share one.
string(MD5 key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(staged "${QEB_STAGING}/${key}/qeb-editor.desktop")
configure_file("${QEB_TEMPLATE}" "${staged}" @ONLY)
file(INSTALL DESTINATION "${full_DATADIR}/applications" TYPE FILE FILES "${staged}")
