# cmake -DIN=FILE -DOUT=FILE -P crlf.cmake
# Copies a text file with CR LF line ends, so Notepad on older Windows shows
# its lines. Line ends already CR LF are kept as they are.
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
