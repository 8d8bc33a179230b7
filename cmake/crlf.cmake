# cmake -DIN=FILE -DOUT=FILE [-DBOM=ON] -P crlf.cmake
# Copies a text file with CR LF line ends, so Notepad on older Windows shows
# its lines. Line ends already CR LF are kept as they are. With BOM, the
# text starts with UTF-8's byte-order mark, without which older Notepads
# read UTF-8 as the local code page.
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
if(BOM)
    string(ASCII 239 187 191 mark)
    string(PREPEND text "${mark}")
endif()
file(WRITE "${OUT}" "${text}")
