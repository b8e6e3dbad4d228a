# Shared build helpers.

# Collects the .cpp files of a folder; an empty room becomes an interface library
# so the tree configures while rooms are still being filled.
function(squibly_room_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
  endif()
endfunction()

# The runtime rooms call each other both ways (start-up reaches the display, the display
# pumps events into the lifecycle) and reach the platform twin chosen at the final link,
# so they are linked as one rescanned group.
set(KRT_ROOMS krt_core krt_graphics krt_input krt_audio)

# squibly_link(target PLATFORM sdl|null [GAME])
function(squibly_link target)
  cmake_parse_arguments(ARG "GAME" "PLATFORM" "" ${ARGN})
  set(group ${KRT_ROOMS} krt_platform_${ARG_PLATFORM})
  if(ARG_GAME)
    list(PREPEND group squibly_game)
  endif()
  list(JOIN group "," joined)
  target_link_libraries(${target} PRIVATE "$<LINK_GROUP:RESCAN,${joined}>")
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${SQUIBLY_GENERATED_DIR})
endfunction()

# squibly_test(name PLATFORM sdl|null [GAME] SOURCES a.cpp ... [LABELS ...])
function(squibly_test name)
  cmake_parse_arguments(ARG "GAME" "PLATFORM" "SOURCES;LABELS" ${ARGN})
  if(NOT ARG_PLATFORM)
    set(ARG_PLATFORM null)
  endif()
  # A room still being written may name a file not there yet: that test is left out (an
  # unbuilt placeholder keeps later target_* calls valid) instead of breaking the whole tree.
  set(missing "")
  foreach(src ${ARG_SOURCES})
    if(NOT IS_ABSOLUTE ${src})
      set(src ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    endif()
    if(NOT EXISTS ${src})
      set(missing ${src})
      # Configure again once the file appears.
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
    endif()
  endforeach()
  if(missing OR NOT ARG_SOURCES)
    message(WARNING "test ${name} left out: source missing (${missing})")
    set(stub ${SQUIBLY_GENERATED_DIR}/left_out_test.cpp)
    if(NOT EXISTS ${stub})
      file(WRITE ${stub} "// Placeholder for a test whose sources are not written yet.\nint main() { return 0; }\n")
    endif()
    add_executable(${name} EXCLUDE_FROM_ALL ${stub})
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GAME)
    squibly_link(${name} PLATFORM ${ARG_PLATFORM} GAME)
  else()
    squibly_link(${name} PLATFORM ${ARG_PLATFORM})
  endif()
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "SDL_AUDIODRIVER=dummy")
endfunction()
