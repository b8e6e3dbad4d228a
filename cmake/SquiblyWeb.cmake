# The browser build (configured with Emscripten's toolchain; tools/web/build.sh drives it).
# The same runtime and game sources as the desktop, with the browser platform twin
# (runtime/platform/web_*) and its device-services stand-in in place of the desktop's. libpng,
# zlib and libjpeg are compiled here from Debian's sources (tools/web/fetch_sources.sh). The
# media and the atlas data list come from a desktop build. The result is a page to serve:
#   site/index.html, squibly.js, squibly.wasm, squibly.data (media), squibly.data.js
#
# Inputs: SQUIBLY_NATIVE_BUILD (a desktop build folder, with Media/ and generated/),
#         SQUIBLY_WEB_SOURCES (the folder fetch_sources.sh filled).

set(SQUIBLY_NATIVE_BUILD "" CACHE PATH "Desktop build folder whose Media/ and generated/ the page uses")
set(SQUIBLY_WEB_SOURCES "" CACHE PATH "Folder with the zlib, libpng and libjpeg-turbo sources")
foreach(input SQUIBLY_NATIVE_BUILD SQUIBLY_WEB_SOURCES)
  if(NOT IS_DIRECTORY "${${input}}")
    message(FATAL_ERROR "${input} must name a folder (now: '${${input}}')")
  endif()
endforeach()

set(SITE ${CMAKE_BINARY_DIR}/site)
file(MAKE_DIRECTORY ${SITE})
set(WEB_C_FLAGS -O2 -w)

# ---- Image libraries from Debian's sources -------------------------------------------------
file(GLOB zlib_dir LIST_DIRECTORIES true ${SQUIBLY_WEB_SOURCES}/zlib-*)
file(GLOB png_dir LIST_DIRECTORIES true ${SQUIBLY_WEB_SOURCES}/libpng1.6-*)
file(GLOB jpeg_dir LIST_DIRECTORIES true ${SQUIBLY_WEB_SOURCES}/libjpeg-turbo-*)
foreach(dir zlib_dir png_dir jpeg_dir)
  list(FILTER ${dir} EXCLUDE REGEX "\\.(tar|dsc|gz|xz|bz2)")
  if(NOT ${dir})
    message(FATAL_ERROR "no ${dir} in ${SQUIBLY_WEB_SOURCES}: run tools/web/fetch_sources.sh")
  endif()
endforeach()

set(web_zlib_names adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil)
list(TRANSFORM web_zlib_names PREPEND ${zlib_dir}/)
list(TRANSFORM web_zlib_names APPEND .c)
add_library(web_zlib STATIC ${web_zlib_names})
target_include_directories(web_zlib PUBLIC ${zlib_dir})
target_compile_definitions(web_zlib PRIVATE HAVE_UNISTD_H=1)
target_compile_options(web_zlib PRIVATE ${WEB_C_FLAGS})

set(png_config ${CMAKE_BINARY_DIR}/png_config)
configure_file(${png_dir}/scripts/pnglibconf.h.prebuilt ${png_config}/pnglibconf.h COPYONLY)
set(web_png_names png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans
    pngwio pngwrite pngwtran pngwutil)
list(TRANSFORM web_png_names PREPEND ${png_dir}/)
list(TRANSFORM web_png_names APPEND .c)
add_library(web_png STATIC ${web_png_names})
target_include_directories(web_png PUBLIC ${png_dir} ${png_config})
target_link_libraries(web_png PUBLIC web_zlib)
target_compile_options(web_png PRIVATE ${WEB_C_FLAGS})

# libjpeg with the 6b interface, as Debian's libjpeg62-turbo: the reading half, plain C.
set(jpeg_config ${CMAKE_BINARY_DIR}/jpeg_config)
set(JPEG_LIB_VERSION 62)
set(VERSION 2.1.5)
set(LIBJPEG_TURBO_VERSION_NUMBER 2001005)
set(C_ARITH_CODING_SUPPORTED 1)
set(D_ARITH_CODING_SUPPORTED 1)
set(MEM_SRCDST_SUPPORTED 1)
set(BITS_IN_JSAMPLE 8)
set(BUILD squibly)
set(INLINE "__inline__ __attribute__((always_inline))")
set(THREAD_LOCAL "")
set(CMAKE_PROJECT_NAME libjpeg-turbo)
set(SIZE_T 4)
set(HAVE_BUILTIN_CTZL 1)
set(COPYRIGHT_YEAR "1991-2023")
foreach(header jconfig jconfigint jversion)
  configure_file(${jpeg_dir}/${header}.h.in ${jpeg_config}/${header}.h)
endforeach()
set(web_jpeg_names jaricom jcomapi jdapimin jdapistd jdarith jdatasrc jdcoefct jdcolor jddctmgr jdhuff
    jdicc jdinput jdmainct jdmarker jdmaster jdmerge jdphuff jdpostct jdsample jdtrans jerror jidctflt
    jidctfst jidctint jidctred jmemmgr jmemnobs jquant1 jquant2 jsimd_none jutils)
list(TRANSFORM web_jpeg_names PREPEND ${jpeg_dir}/)
list(TRANSFORM web_jpeg_names APPEND .c)
add_library(web_jpeg STATIC ${web_jpeg_names})
target_include_directories(web_jpeg PUBLIC ${jpeg_config} ${jpeg_dir})
target_compile_options(web_jpeg PRIVATE ${WEB_C_FLAGS})

# ---- The program ---------------------------------------------------------------------------
set(src ${CMAKE_SOURCE_DIR})
file(GLOB web_runtime CONFIGURE_DEPENDS
  ${src}/runtime/core/*.cpp ${src}/runtime/graphics/*.cpp ${src}/runtime/input/*.cpp ${src}/runtime/audio/*.cpp
  ${src}/runtime/platform/web_*.cpp ${src}/runtime/platform/presentation.cpp)
list(FILTER web_runtime EXCLUDE REGEX "/runtime/core/(main|device_services)\\.cpp$")
file(GLOB web_game CONFIGURE_DEPENDS
  ${src}/game/state/*.cpp ${src}/game/shell/*.cpp ${src}/game/play/*.cpp ${src}/game/draw/*.cpp)

add_executable(squibly ${src}/runtime/core/main.cpp ${web_runtime} ${web_game} ${src}/tools/web/web_state.cpp)
target_include_directories(squibly PRIVATE ${src} ${SQUIBLY_NATIVE_BUILD}/generated)
target_compile_options(squibly PRIVATE -O2 -Wall -Wextra)
target_link_libraries(squibly PRIVATE web_png web_jpeg)
set_target_properties(squibly PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${SITE})

set(web_js_libraries ${src}/runtime/platform/web_browser.js ${src}/runtime/platform/web_storage.js)
set(web_link_flags
  -O2
  -sLEGACY_GL_EMULATION=1
  -sASYNCIFY=1
  -sASYNCIFY_IMPORTS=[squibly_sleep,squibly_present_frame]
  -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=67108864
  -sFORCE_FILESYSTEM=1
  -sEXIT_RUNTIME=0
  -sEXPORTED_FUNCTIONS=[_main,_squibly_state]
  -sEXPORTED_RUNTIME_METHODS=[ENV,FS,UTF8ToString]
  -lidbfs.js)
foreach(library ${web_js_libraries})
  list(APPEND web_link_flags "SHELL:--js-library ${library}")
endforeach()
target_link_options(squibly PRIVATE ${web_link_flags})
set_property(TARGET squibly APPEND PROPERTY LINK_DEPENDS ${web_js_libraries})

# ---- Media, packed for the browser ---------------------------------------------------------
# The desktop's Media folder less the .ogg music: the page plays the .mp3 tracks, as the game
# does on the handhelds.
set(pack ${CMAKE_BINARY_DIR}/media_pack)
file(GLOB media_files CONFIGURE_DEPENDS ${SQUIBLY_NATIVE_BUILD}/Media/*)
add_custom_command(
  OUTPUT ${SITE}/squibly.data ${SITE}/squibly.data.js
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${pack}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${SQUIBLY_NATIVE_BUILD}/Media ${pack}
  COMMAND sh -c "rm -f '${pack}'/*.ogg"
  COMMAND python3 ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager.py ${SITE}/squibly.data
          --preload ${pack}@/media --js-output=${SITE}/squibly.data.js --no-node
  DEPENDS ${media_files}
  COMMENT "Packing the media for the page"
  VERBATIM)
add_custom_target(web_media ALL DEPENDS ${SITE}/squibly.data ${SITE}/squibly.data.js)

add_custom_command(
  OUTPUT ${SITE}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${src}/runtime/platform/web_page.html ${SITE}/index.html
  DEPENDS ${src}/runtime/platform/web_page.html)
add_custom_target(web_page ALL DEPENDS ${SITE}/index.html)
