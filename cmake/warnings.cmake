# Warnings for every target of the project, and the sanitizer switch of the
# native-asan preset.
add_compile_options(-Wall -Wextra -Wpedantic)

option(PLOTARA_SANITIZE "Build with AddressSanitizer, UndefinedBehaviorSanitizer and the standard library's checks" OFF)
if(PLOTARA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # Bounds and precondition checks in libstdc++ (operator[], front, back, ...),
  # which catch what stays inside a container's allocation.
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()

if(WIN32)
  # One self-contained executable each: no runtime DLLs to ship or to find under wine.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
