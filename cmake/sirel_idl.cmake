# What the build reads from Sirel.idl, the one place the GUIDs and DISPIDs are written.
#
# sirel_read_idl(<idl> <generated-dir>) sets, in the caller's scope, SIREL_LIBID, SIREL_CLSID,
# SIREL_IID and SIREL_DIID (upper case, without braces), and writes into <generated-dir>:
#   sirel_ids.h   the DISPIDs of _Sireler's members and __Sireler's events, for C++;
#   sirel_ids.sh  the four GUIDs, for the scripts.
# A change of the IDL configures the build again.
#
# sirel_guid_resource_words(<guid> <out>) sets <out> to the GUID as resource words: Data1 as a
# 32-bit value, then 16-bit little-endian words.

# The uuid of the declaration "<keyword> <name>".
function(_sirel_idl_guid text keyword name out)
  string(REGEX MATCH "uuid\\(([0-9A-Fa-f-]+)\\)[^{]*${keyword} ${name}[ \n\r:]" match "${text}")
  if(NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "Sirel.idl: no uuid for ${keyword} ${name}")
  endif()
  string(TOUPPER "${CMAKE_MATCH_1}" guid)
  set(${out} ${guid} PARENT_SCOPE)
endfunction()

# The DISPID and name of each function declared "[id(ID)...] RETURN-TYPE Name", first
# declaration of a name only, as a list of ID|Name pairs.
function(_sirel_idl_ids text id_pattern return_type out)
  string(REGEX MATCHALL "\\[id\\((${id_pattern})\\)[^]]*\\] ${return_type} [A-Za-z_]+" matches
         "${text}")
  set(seen "")
  set(pairs "")
  foreach(match IN LISTS matches)
    string(REGEX REPLACE "^\\[id\\((${id_pattern})\\).* ${return_type} ([A-Za-z_]+)$" "\\1|\\2" pair
           "${match}")
    string(REGEX REPLACE ".*\\|" "" name "${pair}")
    if(NOT name IN_LIST seen)
      list(APPEND seen ${name})
      list(APPEND pairs ${pair})
    endif()
  endforeach()
  set(${out} ${pairs} PARENT_SCOPE)
endfunction()

function(sirel_read_idl idl generated)
  file(READ ${idl} text)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${idl})
  _sirel_idl_guid("${text}" library Sirel SIREL_LIBID)
  _sirel_idl_guid("${text}" coclass Sireler SIREL_CLSID)
  _sirel_idl_guid("${text}" interface _Sireler SIREL_IID)
  _sirel_idl_guid("${text}" dispinterface __Sireler SIREL_DIID)

  _sirel_idl_ids("${text}" "0x[0-9A-Fa-f]+" HRESULT member_ids)
  _sirel_idl_ids("${text}" "[0-9]+" void event_ids)
  list(LENGTH member_ids member_count)
  list(LENGTH event_ids event_count)
  if(NOT member_count EQUAL 20 OR NOT event_count EQUAL 9)
    message(FATAL_ERROR "Sirel.idl: read ${member_count} members and ${event_count} events")
  endif()
  set(SIREL_IDS_MEMBERS "")
  set(SIREL_IDS_EVENTS "")
  set(SIREL_IDS_EVENT_TABLE "")
  foreach(pair IN LISTS member_ids)
    string(REPLACE "|" ";" parts "${pair}")
    list(GET parts 0 id)
    list(GET parts 1 name)
    string(APPEND SIREL_IDS_MEMBERS "inline constexpr long ${name} = ${id};\n")
  endforeach()
  foreach(pair IN LISTS event_ids)
    string(REPLACE "|" ";" parts "${pair}")
    list(GET parts 0 id)
    list(GET parts 1 name)
    string(APPEND SIREL_IDS_EVENTS "inline constexpr long ${name} = ${id};\n")
    string(APPEND SIREL_IDS_EVENT_TABLE "    {${id}, L\"${name}\"},\n")
  endforeach()

  file(MAKE_DIRECTORY ${generated})
  file(CONFIGURE OUTPUT ${generated}/sirel_ids.h @ONLY CONTENT
"// Generated from Sirel.idl when the build is configured: the DISPIDs of _Sireler's members and
// of __Sireler's events, and the events in their order.
#pragma once

namespace sirel::dispid {
@SIREL_IDS_MEMBERS@}  // namespace sirel::dispid

namespace sirel::event_dispid {
@SIREL_IDS_EVENTS@}  // namespace sirel::event_dispid

namespace sirel {
struct EventDescription {
  long id;
  const wchar_t* name;
};
inline constexpr EventDescription kEventDescriptions[] = {
@SIREL_IDS_EVENT_TABLE@};
}  // namespace sirel
")
  file(CONFIGURE OUTPUT ${generated}/sirel_ids.sh @ONLY CONTENT
"# Generated from Sirel.idl when the build is configured: the four GUIDs, without braces.
sirel_libid=@SIREL_LIBID@
sirel_clsid=@SIREL_CLSID@
sirel_iid=@SIREL_IID@
sirel_diid=@SIREL_DIID@
")
  foreach(guid SIREL_LIBID SIREL_CLSID SIREL_IID SIREL_DIID)
    set(${guid} ${${guid}} PARENT_SCOPE)
  endforeach()
endfunction()

function(sirel_guid_resource_words guid out)
  string(REPLACE "-" "" hex "${guid}")
  string(SUBSTRING "${hex}" 0 8 data1)
  string(SUBSTRING "${hex}" 8 4 data2)
  string(SUBSTRING "${hex}" 12 4 data3)
  set(words "0x${data1}L, 0x${data2}, 0x${data3}")
  foreach(at 16 20 24 28)
    string(SUBSTRING "${hex}" ${at} 2 low)
    math(EXPR next "${at} + 2")
    string(SUBSTRING "${hex}" ${next} 2 high)
    string(APPEND words ", 0x${high}${low}")
  endforeach()
  set(${out} "${words}" PARENT_SCOPE)
endfunction()
