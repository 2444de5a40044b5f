# Writes a text file as Windows' own editors expect it: UTF-8 with a byte
# order mark (which Notepad needs to tell UTF-8 from the ANSI code page)
# and CR LF line ends.
# Run as: cmake -DINPUT=FILE -DOUTPUT=FILE -P windows_text.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE "${OUTPUT}.new" "${byte_order_mark}${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
