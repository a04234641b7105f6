# Creates a Wine prefix that reports another Windows version to programs.
#   cmake -DWINE_RUN=<launcher> -DPREFIX=<folder> -DVERSION=<winxp64|vista|win7> -P make_wine_prefix.cmake
set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "winemenubuilder.exe,mscoree,mshtml=d")
execute_process(COMMAND ${WINE_RUN} wineboot --init RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wineboot failed: ${status}")
endif()
execute_process(COMMAND ${WINE_RUN} reg add "HKCU\\Software\\Wine" /v Version /d ${VERSION} /f
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "setting the Windows version failed: ${status}")
endif()
