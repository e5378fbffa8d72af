# lumicast_embed_version(target): gives an executable a version record that the file version
# reader (support/file_version.h) finds: a VS_VERSIONINFO record with its VS_FIXEDFILEINFO, the
# layout of a Windows version resource, made from the project version and placed in the ELF
# section ".lumicast_version" by a generated source file.

# Appends the little-endian bytes of a 16- or 32-bit number to the list named by out_var.
function(_lumicast_le_bytes out_var value byte_count)
  set(bytes ${${out_var}})
  math(EXPR last "${byte_count} - 1")
  foreach(i RANGE 0 ${last})
    math(EXPR byte "(${value} >> (8 * ${i})) & 0xFF" OUTPUT_FORMAT HEXADECIMAL)
    list(APPEND bytes ${byte})
  endforeach()
  set(${out_var} ${bytes} PARENT_SCOPE)
endfunction()

function(lumicast_embed_version target)
  set(major ${PROJECT_VERSION_MAJOR})
  set(minor ${PROJECT_VERSION_MINOR})
  set(patch ${PROJECT_VERSION_PATCH})
  set(tweak ${PROJECT_VERSION_TWEAK})
  foreach(part major minor patch tweak)
    if("${${part}}" STREQUAL "")
      set(${part} 0)
    endif()
  endforeach()
  math(EXPR version_ms "(${major} << 16) | ${minor}")
  math(EXPR version_ls "(${patch} << 16) | ${tweak}")

  # Header: length, value length (the fixed information's 52 bytes), type 0 (binary); then the
  # key "VS_VERSION_INFO" in UTF-16 with its zero, padded to a multiple of 4 (offset 40).
  set(key "VS_VERSION_INFO")
  string(LENGTH "${key}" key_length)
  math(EXPR fixed_offset "((6 + 2 * (${key_length} + 1)) + 3) / 4 * 4")
  math(EXPR record_length "${fixed_offset} + 52")
  set(bytes)
  _lumicast_le_bytes(bytes ${record_length} 2)
  _lumicast_le_bytes(bytes 52 2)
  _lumicast_le_bytes(bytes 0 2)
  math(EXPR key_last "${key_length} - 1")
  foreach(i RANGE 0 ${key_last})
    string(SUBSTRING "${key}" ${i} 1 ch)
    string(HEX "${ch}" code)
    _lumicast_le_bytes(bytes 0x${code} 2)
  endforeach()
  _lumicast_le_bytes(bytes 0 2)
  list(LENGTH bytes written)
  math(EXPR padding "${fixed_offset} - ${written}")
  if(padding GREATER 0)
    foreach(i RANGE 1 ${padding})
      list(APPEND bytes 0x00)
    endforeach()
  endif()

  # VS_FIXEDFILEINFO: signature, structure version 1.0, file and product version, flags mask
  # and flags, operating system VOS_UNKNOWN (there is no value for this system), type VFT_APP,
  # no sub-type, no date.
  foreach(word 0xFEEF04BD 0x00010000 ${version_ms} ${version_ls} ${version_ms} ${version_ls}
               0x3F 0 0 1 0 0 0)
    _lumicast_le_bytes(bytes ${word} 4)
  endforeach()

  list(LENGTH bytes byte_count)
  list(JOIN bytes ", " byte_list)
  set(source "${CMAKE_BINARY_DIR}/generated/${target}_version_record.cpp")
  file(CONFIGURE OUTPUT "${source}" CONTENT
"// Made by cmake/VersionResource.cmake: the version record of ${target}, version \
${major}.${minor}.${patch}.${tweak}.
namespace {
__attribute__((section(\".lumicast_version\"), used, aligned(4)))
const unsigned char kVersionRecord[${byte_count}] = {${byte_list}};
} // namespace
")
  target_sources(${target} PRIVATE "${source}")
  # A table of bytes: a precompiled header of the target would only cost time here.
  set_source_files_properties("${source}" PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()
