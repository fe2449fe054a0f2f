# SPDX-License-Identifier: GPL-3.0-or-later
# Precompiled headers: the toolkit's widget headers, GoogleTest and the parts
# of the standard library that most sources include, parsed once per build
# instead of once per source. There are three sets, each built once: one for
# the libraries and programs that use the widgets, one with GoogleTest for the
# tests of those, and one of GoogleTest alone for the tests without the
# toolkit.
# After all targets are defined, o5_use_precompiled_headers() gives each
# target the set that fits what it links to, when it compiles with the same
# options as that set (the fuzz targets and the benchmarks built unoptimized
# do not, and keep parsing their own headers).

set(o5_pch_std
  <algorithm> <array> <chrono> <cstdint> <cstdio> <cstdlib> <cstring> <functional>
  <map> <memory> <optional> <stdexcept> <string> <string_view> <vector>)
set(o5_pch_widgets
  <QApplication> <QCoreApplication> <QDir> <QFile> <QLabel> <QObject> <QPainter>
  <QPlainTextEdit> <QPushButton> <QString> <QStringList> <QTemporaryDir> <QTimer>
  <QToolButton> <QWidget>)

# A target that only holds the precompiled header `name`, compiled with what
# the given libraries require.
function(o5_add_header_set name)
  set(source ${CMAKE_BINARY_DIR}/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// The precompiled headers of ${name}.\n")
  add_library(${name} OBJECT ${source})
  target_link_libraries(${name} PRIVATE ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
endfunction()

# Every target whose usage requirements `target` takes, directly or through
# others: its own link libraries, then what each of them passes on.
function(o5_linked_targets target out)
  set(found)
  get_target_property(todo ${target} LINK_LIBRARIES)
  if(NOT todo)
    set(todo)
  endif()
  while(todo)
    list(POP_FRONT todo lib)
    if(NOT TARGET ${lib} OR lib IN_LIST found)
      continue()
    endif()
    list(APPEND found ${lib})
    get_target_property(next ${lib} INTERFACE_LINK_LIBRARIES)
    if(next)
      list(APPEND todo ${next})
    endif()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The targets defined in `dir` and in the folders below it.
function(o5_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    o5_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(o5_use_precompiled_headers)
  o5_add_header_set(o5_pch_widgets Qt6::Widgets)
  target_precompile_headers(o5_pch_widgets PRIVATE ${o5_pch_widgets} ${o5_pch_std})
  set(sets o5_pch_widgets)
  if(O5_TESTS)
    find_package(GTest REQUIRED)
    o5_add_header_set(o5_pch_tests Qt6::Widgets GTest::gtest)
    target_precompile_headers(o5_pch_tests PRIVATE ${o5_pch_widgets} ${o5_pch_std} <gtest/gtest.h>)
    o5_add_header_set(o5_pch_gtest GTest::gtest)
    target_precompile_headers(o5_pch_gtest PRIVATE ${o5_pch_std} <gtest/gtest.h>)
    list(APPEND sets o5_pch_tests o5_pch_gtest)
  endif()
  get_target_property(options o5_pch_widgets COMPILE_OPTIONS)

  o5_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|OBJECT_LIBRARY)$" OR target IN_LIST sets)
      continue()
    endif()
    get_target_property(own ${target} COMPILE_OPTIONS)
    if(NOT own STREQUAL options)
      continue()
    endif()
    o5_linked_targets(${target} linked)
    set(widgets FALSE)
    set(gtest FALSE)
    if("Qt6::Widgets" IN_LIST linked)
      set(widgets TRUE)
    endif()
    if("GTest::gtest" IN_LIST linked AND O5_TESTS)
      set(gtest TRUE)
    endif()
    if(widgets AND gtest)
      target_precompile_headers(${target} REUSE_FROM o5_pch_tests)
    elseif(widgets)
      target_precompile_headers(${target} REUSE_FROM o5_pch_widgets)
    elseif(gtest AND NOT "Qt6::Core" IN_LIST linked)
      # Compiled as position-dependent code, as targets without the toolkit are.
      target_precompile_headers(${target} REUSE_FROM o5_pch_gtest)
    endif()
  endforeach()
endfunction()
