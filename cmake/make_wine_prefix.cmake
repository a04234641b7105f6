# Creates a Wine prefix that reports another Windows version to programs.
#   cmake -DWINE_RUN=<launcher> -DPREFIX=<folder> -DVERSION=<winxp64|vista|win7>
#         [-DAUDIO=<alsa|pulse>] -P make_wine_prefix.cmake
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
# Optionally another sound driver: Wine's ALSA driver offers exclusive mode,
# which its PulseAudio driver refuses (the rig's ALSA default is PulseAudio).
if(AUDIO)
  execute_process(COMMAND ${WINE_RUN} reg add "HKCU\\Software\\Wine\\Drivers" /v Audio /d ${AUDIO} /f
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "setting the sound driver failed: ${status}")
  endif()
endif()
