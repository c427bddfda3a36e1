# System libraries, found once for every layer.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
pkg_check_modules(POPPLER_CPP REQUIRED IMPORTED_TARGET poppler-cpp)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(HARFBUZZ REQUIRED IMPORTED_TARGET harfbuzz)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(LIBTIFF REQUIRED IMPORTED_TARGET libtiff-4)
pkg_check_modules(OPENJPEG REQUIRED IMPORTED_TARGET libopenjp2)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(TEXTCAT REQUIRED IMPORTED_TARGET libexttextcat)

find_library(GIF_LIBRARY gif REQUIRED)
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)
add_library(rz_gif INTERFACE)
target_link_libraries(rz_gif INTERFACE ${GIF_LIBRARY})
target_include_directories(rz_gif INTERFACE ${GIF_INCLUDE_DIR})

find_library(JBIG2DEC_LIBRARY jbig2dec REQUIRED)
find_path(JBIG2DEC_INCLUDE_DIR jbig2.h REQUIRED)
add_library(rz_jbig2dec INTERFACE)
target_link_libraries(rz_jbig2dec INTERFACE ${JBIG2DEC_LIBRARY})
target_include_directories(rz_jbig2dec INTERFACE ${JBIG2DEC_INCLUDE_DIR})

# The file name under which the dynamic linker finds library `name` (its
# soname, e.g. libtiff.so.6), for libraries loaded at run time.
function(rz_library_soname out name)
    find_library(_rz_lib_${name} ${name} REQUIRED)
    get_filename_component(_real ${_rz_lib_${name}} REALPATH)
    get_filename_component(_file ${_real} NAME)
    string(REGEX MATCH "^lib.*\\.so\\.[0-9]+" _soname "${_file}")
    if(NOT _soname)
        message(FATAL_ERROR "no versioned file name for ${name}: ${_real}")
    endif()
    set(${out} ${_soname} PARENT_SCOPE)
endfunction()

if(RZ_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()

# Adds a static library made of every source in the calling folder (not its
# subfolders); the project root is the include root, so headers are included
# as "platform/geometry/Rect.h".
function(rz_add_library name)
    file(GLOB _sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
    rz_target_warnings(${name})
endfunction()

# Adds every direct subfolder of the calling folder that has a CMakeLists.txt.
# Targets may link to targets of folders added later.
function(rz_add_subdirectories)
    file(GLOB _children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(_child ${_children})
        if(IS_DIRECTORY ${_child} AND EXISTS ${_child}/CMakeLists.txt)
            add_subdirectory(${_child})
        endif()
    endforeach()
endfunction()
