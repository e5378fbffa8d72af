# Warnings on everywhere; LUMICAST_WERROR turns them into errors (the test command sets it).
option(LUMICAST_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
                    -Wformat=2 -Wnon-virtual-dtor -Wcast-qual -Wold-style-cast -Wundef)
if(LUMICAST_WERROR)
  add_compile_options(-Werror)
endif()
