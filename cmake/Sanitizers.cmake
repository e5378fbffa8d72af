# LUMICAST_SANITIZE: empty (off), "address" (AddressSanitizer with UndefinedBehaviorSanitizer) or "thread".
set(LUMICAST_SANITIZE "" CACHE STRING "Sanitizer build: '', address or thread")
if(LUMICAST_SANITIZE STREQUAL "address")
  add_compile_options(-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  # GCC 12 reports maybe-uninitialized falsely inside the standard library (std::regex,
  # std::function) under this instrumentation; the normal build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  add_link_options(-fsanitize=address,undefined)
elseif(LUMICAST_SANITIZE STREQUAL "thread")
  add_compile_options(-O1 -fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT LUMICAST_SANITIZE STREQUAL "")
  message(FATAL_ERROR "LUMICAST_SANITIZE must be empty, address or thread")
endif()
