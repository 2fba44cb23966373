# Creates an empty log where none exists. Never writes to an existing one.
if(NOT EXISTS "${LOG}" AND NOT IS_SYMLINK "${LOG}")
  file(WRITE "${LOG}" "")
endif()
