# Warnings for every target of the project, and the sanitizer switches of the
# native-asan and native-tsan presets.
add_compile_options(-Wall -Wextra -Wpedantic)

option(PLOTARA_SANITIZE "Build with AddressSanitizer, UndefinedBehaviorSanitizer and the standard library's checks" OFF)
if(PLOTARA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # Bounds and precondition checks in libstdc++ (operator[], front, back, ...),
  # which catch what stays inside a container's allocation.
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()

option(PLOTARA_TSAN "Build with ThreadSanitizer" OFF)
if(PLOTARA_TSAN)
  if(PLOTARA_SANITIZE)
    message(FATAL_ERROR "PLOTARA_TSAN and PLOTARA_SANITIZE cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(WIN32)
  # One self-contained executable each: no runtime DLLs to ship or to find under wine.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
