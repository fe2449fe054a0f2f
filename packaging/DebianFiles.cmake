# SPDX-License-Identifier: GPL-3.0-or-later
# What Debian expects beside the programs: the manual pages (gzipped), the
# native package's changelog (gzipped, generated from the version), the
# machine-readable copyright file, and the user's manual that F1 opens, with
# its pictures, in the documentation folder (share/doc/ortan5).
find_program(O5_GZIP gzip REQUIRED)

# gzip -9n: the highest compression, and no name or time stamp in the file, so
# that the same input gives the same package.
function(o5_gzipped source output)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${O5_GZIP} -9n -c ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
endfunction()

set(debian_dir ${CMAKE_CURRENT_BINARY_DIR}/debian)
set(debian_files)
foreach(page ortan5 ortan5-heatersim)
  configure_file(man/${page}.1 ${debian_dir}/${page}.1 @ONLY)
  o5_gzipped(${debian_dir}/${page}.1 ${debian_dir}/${page}.1.gz)
  list(APPEND debian_files ${debian_dir}/${page}.1.gz)
  install(FILES ${debian_dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The entry's date: SOURCE_DATE_EPOCH when set (a reproducible build), else now.
string(TIMESTAMP O5_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(debian/changelog.in ${debian_dir}/changelog @ONLY)
o5_gzipped(${debian_dir}/changelog ${debian_dir}/changelog.gz)
list(APPEND debian_files ${debian_dir}/changelog.gz)
add_custom_target(o5_debian_files ALL DEPENDS ${debian_files})

install(FILES ${debian_dir}/changelog.gz debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
get_property(manual_files GLOBAL PROPERTY O5_MANUAL_FILES)
install(FILES ${manual_files} DESTINATION ${CMAKE_INSTALL_DOCDIR})
