# Writes a C++ source that holds a file's bytes as an array, so that a
# library carries data (the German catalogue) without reading it at run
# time. Run as: cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DSYMBOL=NAME
#                     -DNAMESPACE=NS -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# One line of source per 16 bytes.
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT} by cmake/embed_file.cmake; do not edit.\n"
  "#include <cstddef>\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "extern const char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}Size;\n"
  "const char ${SYMBOL}[] = {\n    ${bytes}'\\0'};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n\n"
  "}  // namespace ${NAMESPACE}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
