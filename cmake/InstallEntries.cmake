# Run by `cmake --install`: the command in bin/ that leads to the program in lib/vantrel/ (where
# the program finds its modules and artwork beside itself), and the menu entry that starts it by
# its installed path.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program "${CMAKE_INSTALL_PREFIX}/lib/vantrel/vantrel")

file(MAKE_DIRECTORY "${root}/bin")
file(REMOVE "${root}/bin/vantrel")
file(CREATE_LINK ../lib/vantrel/vantrel "${root}/bin/vantrel" SYMBOLIC)
message(STATUS "Installing: ${root}/bin/vantrel")

# Inside double quotes " ` $ \ take a backslash and % is doubled; then the entry's own escape
# doubles every backslash once more.
set(quoted "${program}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
set(VANTREL_EXEC "\"${quoted}\"")
configure_file("${CMAKE_CURRENT_LIST_DIR}/../resources/vantrel.desktop.in"
               "${root}/share/applications/vantrel.desktop" @ONLY)
message(STATUS "Installing: ${root}/share/applications/vantrel.desktop")
