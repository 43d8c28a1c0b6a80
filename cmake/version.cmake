# Writes the program's version text, `RELEASE+DESCRIBE` with DESCRIBE the
# output of `git describe --always --dirty` of SOURCE_DIR (`RELEASE+unknown`
# outside a git checkout or without git), as a C header (HEADER, the macro
# V2PFL_VERSION) and, when PYTHON_FILE is set, as the Python module
# attribute __version__. Files are rewritten only when the text changes.
# Run at every build: cmake -DSOURCE_DIR=... -DRELEASE=... -DHEADER=...
# [-DPYTHON_FILE=...] -P version.cmake
execute_process(COMMAND git -C "${SOURCE_DIR}" describe --always --dirty
                OUTPUT_VARIABLE describe OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE failed ERROR_QUIET)
if(failed OR describe STREQUAL "")
  set(describe unknown)
endif()
set(version "${RELEASE}+${describe}")

function(write_if_changed path text)
  if(EXISTS "${path}")
    file(READ "${path}" written)
    if(written STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()

write_if_changed("${HEADER}" "// Generated at build time: the program's version.\n#pragma once\n#define V2PFL_VERSION \"${version}\"\n")
if(PYTHON_FILE)
  write_if_changed("${PYTHON_FILE}" "\"\"\"Generated at build time: the program's version.\"\"\"\n__version__ = \"${version}\"\n")
endif()
