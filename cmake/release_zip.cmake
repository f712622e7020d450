# The release zip for Windows users (make dist): dist/Talvoren-<version>-win32.zip
# with this build's two executables and the Japanese user guide.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TALVOREN_RELEASE_NAME "Talvoren-${TALVOREN_VERSION_TEXT}-win32")
else()
    set(TALVOREN_RELEASE_NAME "Talvoren-${TALVOREN_VERSION_TEXT}-win64")
endif()
add_custom_target(release_zip
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make_release_zip.py
        ${TALVOREN_RELEASE_NAME} ${PROJECT_SOURCE_DIR}/dist
        $<TARGET_FILE:Talvoren> $<TARGET_FILE:talvoren-convert>
        ${PROJECT_SOURCE_DIR}/docs/user-guide-ja.txt
    VERBATIM)
add_dependencies(release_zip Talvoren talvoren-convert)
