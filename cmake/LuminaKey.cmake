# Helpers shared by the subsystem build files.

# Sources of one folder, picked up as they are added.
function(lk_glob out)
  file(GLOB _files CONFIGURE_DEPENDS ${ARGN})
  list(SORT _files)
  set(${out} ${_files} PARENT_SCOPE)
endfunction()
