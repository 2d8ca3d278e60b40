# cmake -DSOURCE=... -DTARGET=... -P copy_if_absent.cmake
# Copies a delivered file into the application folder unless the folder
# already has one: the teacher's copy is never overwritten by a rebuild.
if(EXISTS "${SOURCE}" AND NOT EXISTS "${TARGET}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
