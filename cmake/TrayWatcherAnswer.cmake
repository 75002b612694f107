# Qt's tray asks the desktop's StatusNotifierWatcher, when the first tray icon is made, whether it is
# usable, and keeps that answer for the life of the process; it logs "D-Bus tray available:" once
# when it does. The status bar (src/platform/linux/TrayStatusBar.cpp) is built on that: it hands Qt
# the first icon only right after the watcher answered it, never while the watcher is absent or
# silent, and takes the X server's tray only before Qt has made an icon. That was read in Qt 6.4's
# QtGui; elsewhere the build says the assumption is unchecked.
set(_tray_checked_from 6.4)
set(_tray_checked_below 6.5)
set(_tray_reason "")
get_target_property(_tray_gui_type Qt6::Gui TYPE)
get_target_property(_tray_gui_file Qt6::Gui LOCATION)
if(Qt6Gui_VERSION VERSION_LESS _tray_checked_from OR NOT Qt6Gui_VERSION VERSION_LESS _tray_checked_below)
  set(_tray_reason "Qt ${Qt6Gui_VERSION} is not a version it was checked with (${_tray_checked_from}.x)")
elseif(NOT _tray_gui_type STREQUAL "SHARED_LIBRARY")
  set(_tray_reason "QtGui is not a shared library (${_tray_gui_type}) whose tray could be looked at")
else()
  file(STRINGS ${_tray_gui_file} _tray_marker LIMIT_COUNT 1 REGEX "D-Bus tray available")
  if(NOT _tray_marker)
    set(_tray_reason "${_tray_gui_file} has no StatusNotifier tray that keeps its first answer")
  endif()
endif()
if(_tray_reason)
  message(WARNING "The status item assumes Qt keeps its first answer on the desktop's tray, unchecked here: "
                  "${_tray_reason}. Start-up may then wait on a silent tray, or the item stay out of one "
                  "that comes later.")
else()
  message(STATUS "The status item's tray: ${_tray_gui_file} keeps its first answer on the desktop's tray")
endif()
