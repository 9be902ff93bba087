# Writes OUT, a header naming the digest of the generator's own sources (FILES,
# '|'-separated, named relative to ROOT). The sounds are keyed on it rather than
# on the binary, so another build of the same sources, by another compiler or with
# the sanitizers, finds them up to date. OUT is rewritten only when it changes.
string(REPLACE "|" ";" files "${FILES}")
list(SORT files)
set(listing "")
foreach(file IN LISTS files)
    file(SHA1 "${file}" digest)
    file(RELATIVE_PATH name "${ROOT}" "${file}")
    string(APPEND listing "${name} ${digest}\n")
endforeach()
string(SHA1 key "${listing}")
set(header "#pragma once\n\n// Made by the build from the generator's sources.\n#define NK_COURSEGEN_SOURCES_KEY \"${key}\"\n")
set(old "")
if(EXISTS "${OUT}")
    file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL header)
    file(WRITE "${OUT}" "${header}")
endif()
