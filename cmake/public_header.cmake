# Writes a public header as it is installed: its includes of the library's
# own headers ("archive/model.h") become <railfmt/archive/model.h>, so that
# a program using the library puts only the include folder on its path and
# the library's folders (driver/, layout/, ...) never stand beside its own.
# Run as: cmake -DINPUT=HEADER -DOUTPUT=FILE -P public_header.cmake
file(READ "${INPUT}" text)
string(REGEX REPLACE "#include \"((driver|archive|construction|rollingstock|layout)/[^\"]+)\""
       "#include <railfmt/\\1>" text "${text}")
file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
