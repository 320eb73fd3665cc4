# The IDL compiler writes a parameter's default value into the C++ header as a default
# argument, which a pointer parameter cannot take (DoSirel's `LONG *Priority = -1`). The
# default belongs to the type library, where clients that bind late read it; this script
# removes it from the header.  cmake -DHEADER=<file> -P strip_pointer_defaults.cmake
file(READ ${HEADER} text)
string(REGEX REPLACE "(\\*[A-Za-z_][A-Za-z_0-9]*) = -?[0-9]+\\)" "\\1)" text "${text}")
file(WRITE ${HEADER} "${text}")
