# Qt's raster engine splits each large fill, scale and conversion into bands for its thread pool
# unless the pool says that it already runs the painting thread (QThreadPool::contains). The
# program answers that question itself for the painting thread (src/platform/linux/
# PaintingThreadFills.cpp), but its answer reaches Qt only where QtGui asks through the dynamic
# linker: a shared QtGui that imports the function, of a version whose painting was checked to ask
# it. Elsewhere the answer is left out, and the build says so.
set(_fills_symbol _ZNK11QThreadPool8containsEPK7QThread)
set(_fills_checked_from 6.4)
set(_fills_checked_below 6.5)
set(_fills_reason "")
get_target_property(_fills_gui_type Qt6::Gui TYPE)
get_target_property(_fills_gui_file Qt6::Gui LOCATION)
if(NOT _fills_gui_type STREQUAL "SHARED_LIBRARY")
  set(_fills_reason "QtGui is not a shared library (${_fills_gui_type})")
elseif(Qt6Gui_VERSION VERSION_LESS _fills_checked_from OR NOT Qt6Gui_VERSION VERSION_LESS _fills_checked_below)
  set(_fills_reason "Qt ${Qt6Gui_VERSION} is not a version it was checked with (${_fills_checked_from}.x)")
else()
  execute_process(COMMAND ${CMAKE_NM} -D --undefined-only ${_fills_gui_file}
                  OUTPUT_VARIABLE _fills_imports RESULT_VARIABLE _fills_nm ERROR_QUIET)
  if(NOT _fills_nm EQUAL 0)
    set(_fills_reason "the dynamic symbols of ${_fills_gui_file} could not be read")
  elseif(NOT _fills_imports MATCHES "${_fills_symbol}")
    set(_fills_reason "${_fills_gui_file} does not call QThreadPool::contains through the dynamic linker")
  endif()
endif()
if(_fills_reason)
  message(WARNING "Large fills are left to Qt's thread pool: ${_fills_reason}.")
else()
  message(STATUS "Large fills stay on the painting thread: ${_fills_gui_file} asks the program's QThreadPool::contains")
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/platform/linux/PaintingThreadFills.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS VANTREL_ANSWERS_POOL_CONTAINS)
endif()
