# The Asan build type: the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer.
# -O1 keeps it quick enough to run every test; frame pointers give whole stacks in reports;
# any undefined behaviour stops the process instead of printing and going on.
set(SQUIBLY_SANITIZE "-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined")
# Plain variables: project() has already put empty cache entries of these names in place.
set(CMAKE_C_FLAGS_ASAN "-O1 -g ${SQUIBLY_SANITIZE}")
set(CMAKE_CXX_FLAGS_ASAN "-O1 -g ${SQUIBLY_SANITIZE}")
set(CMAKE_EXE_LINKER_FLAGS_ASAN "-fsanitize=address,undefined")
set(CMAKE_SHARED_LINKER_FLAGS_ASAN "-fsanitize=address,undefined")
